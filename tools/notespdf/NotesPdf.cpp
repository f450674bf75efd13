// Lays the release notes (plain text) out as a PDF at build time:
//     notespdf <notes.txt> <fonts folder> <out.pdf>
// The fonts folder holds DejaVu Sans (package fonts-dejavu-core). Cairo's PDF
// surface writes the file; this program only places lines on pages.
//
// The text's first line is the title; a line of "=" under it becomes a rule.
// A line that a list ("- ...") follows is a heading. Everything else is set
// as written, in a fixed-width face, so that the notes' own indentation
// holds; a line too long for the page wraps at a space, indented like itself.
// The same text always gives the same bytes: the document carries no date.
// The text must be UTF-8 without zero bytes: a byte that is not part of a
// whole letter, or a zero byte (which would end the line's text there), stops
// the build, naming its line, rather than leave lines out of the notes. On
// success the program says how many lines it set. The PDF is written beside
// the target under a temporary name and renamed over it only once it is
// whole, so a run that fails or is killed leaves the earlier PDF as it was.
// Every write, the flush to disk and the close are checked: a disk that fills
// while the PDF is written fails the run, never leaves a cut-off PDF behind.

#include <cairo-ft.h>
#include <cairo-pdf.h>
#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace
{
constexpr double pageWidth = 595.28, pageHeight = 841.89; // A4 in points
constexpr double margin = 64.0;
constexpr double titleSize = 16.0, bodySize = 10.0, lineHeight = 14.0;

struct Fonts
{
    FT_Library library = nullptr;
    cairo_font_face_t* title = nullptr;
    cairo_font_face_t* body = nullptr;
    cairo_font_face_t* heading = nullptr;
};

const cairo_user_data_key_t faceKey{};

// The file cairo's PDF surface writes through. A surface that writes its file
// itself reports no failed write, so a full disk would pass for success; this
// output keeps the first failure.
struct Output
{
    std::FILE* file = nullptr;
    int error = 0; // errno of the first write that failed

    static cairo_status_t write (void* closure, const unsigned char* data, unsigned int length)
    {
        auto& output = *static_cast<Output*> (closure);
        errno = 0;
        if (output.error == 0 && std::fwrite (data, 1, length, output.file) != length)
            output.error = errno != 0 ? errno : EIO;
        return output.error == 0 ? CAIRO_STATUS_SUCCESS : CAIRO_STATUS_WRITE_ERROR;
    }

    // Flushes the file to disk and closes it; false with `error` set when
    // any write, the flush or the close failed.
    bool close()
    {
        errno = 0;
        if (error == 0 && (std::fflush (file) != 0 || fsync (fileno (file)) != 0))
            error = errno != 0 ? errno : EIO;
        errno = 0;
        if (std::fclose (file) != 0 && error == 0)
            error = errno != 0 ? errno : EIO;
        file = nullptr;
        return error == 0;
    }
};

cairo_font_face_t* loadFace (FT_Library library, const std::string& path)
{
    FT_Face face = nullptr;
    if (FT_New_Face (library, path.c_str(), 0, &face) != 0)
    {
        std::fprintf (stderr, "notespdf: cannot read the font %s\n", path.c_str());
        return nullptr;
    }
    auto* cairoFace = cairo_ft_font_face_create_for_ft_face (face, 0);
    // The FreeType face goes when cairo lets go of its own.
    cairo_font_face_set_user_data (cairoFace, &faceKey, face, [] (void* f) { FT_Done_Face (static_cast<FT_Face> (f)); });
    return cairoFace;
}

bool isRule (const std::string& line)
{
    return ! line.empty() && line.find_first_not_of ('=') == std::string::npos;
}

bool isListItem (const std::string& line)
{
    return line.rfind ("- ", 0) == 0;
}

std::string hexByte (unsigned char byte)
{
    char text[8];
    std::snprintf (text, sizeof (text), "0x%02X", byte);
    return text;
}

// Where each letter of a line of UTF-8 starts (and, last, where the line
// ends); empty with `problem` set when the line holds bytes that are not
// whole letters, or a zero byte.
std::vector<size_t> letterStarts (const std::string& line, std::string& problem)
{
    std::vector<size_t> starts;

    for (size_t at = 0; at < line.size();)
    {
        const auto lead = (unsigned char) line[at];
        const size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                              : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
        const auto column = std::to_string (starts.size() + 1);

        if (lead == 0)
        {
            problem = "column " + column + ": a zero byte (0x00), which cannot be set";
            return {};
        }

        if (length == 0)
        {
            problem = "not UTF-8: column " + column + ": the byte " + hexByte (lead) + " starts no letter";
            return {};
        }

        // The second byte's range rules out overlong forms, surrogates and
        // letters past U+10FFFF.
        const unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
        const unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;

        for (size_t i = 1; i < length; ++i)
        {
            const auto next = at + i < line.size() ? (unsigned char) line[at + i] : 0;
            if (next < (i == 1 ? low : 0x80) || next > (i == 1 ? high : 0xBF))
            {
                problem = "not UTF-8: column " + column + ": a letter cut short: " + hexByte (lead) + " needs "
                          + std::to_string (length) + " bytes, "
                          + (at + i < line.size() ? "but " + hexByte (next) + " follows" : "but the line ends");
                return {};
            }
        }

        starts.push_back (at);
        at += length;
    }

    starts.push_back (line.size());
    return starts;
}

// Cuts a line into pieces of at most `columns` letters, at spaces where it
// can; later pieces are indented like the line's text. Cuts fall between
// letters, never inside one.
std::vector<std::string> wrap (const std::string& line, size_t columns)
{
    std::string problem;
    const auto starts = letterStarts (line, problem);
    std::vector<std::string> pieces;
    auto indent = line.find_first_not_of (' ');
    if (indent == std::string::npos || starts.size() <= columns + 1)
        return { line };
    if (isListItem (line.substr (indent)))
        indent += 2;
    indent = std::min (indent, columns / 2);

    // Positions count letters; the indent is spaces, one byte each.
    size_t from = 0; // the letter the rest starts at
    std::string prefix;
    const auto letters = starts.size() - 1;
    while (prefix.size() + letters - from > columns)
    {
        const auto room = columns - prefix.size();
        size_t cut = 0; // letters of the rest that go on this piece
        for (size_t i = room; i > 0 && cut == 0; --i)
            if (line[starts[from + i]] == ' ' && prefix.size() + i > indent)
                cut = i;
        if (cut == 0)
            cut = room;
        pieces.push_back (prefix + line.substr (starts[from], starts[from + cut] - starts[from]));
        from += cut;
        while (from < letters && line[starts[from]] == ' ')
            ++from;
        prefix = std::string (indent, ' ');
    }
    pieces.push_back (prefix + line.substr (starts[from]));
    return pieces;
}
} // namespace

int main (int argc, char** argv)
{
    if (argc != 4)
    {
        std::fprintf (stderr, "usage: notespdf <notes.txt> <fonts folder> <out.pdf>\n");
        return 2;
    }

    std::ifstream in (argv[1], std::ios::binary);
    if (! in)
    {
        std::fprintf (stderr, "notespdf: cannot read %s\n", argv[1]);
        return 1;
    }
    std::vector<std::string> lines;
    for (std::string line; std::getline (in, line);)
    {
        if (! line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back (line);
    }
    if (lines.empty())
    {
        std::fprintf (stderr, "notespdf: %s is empty\n", argv[1]);
        return 1;
    }
    for (size_t i = 0; i < lines.size(); ++i)
    {
        std::string problem;
        if (letterStarts (lines[i], problem).empty())
        {
            std::fprintf (stderr, "notespdf: %s, line %zu: %s\n", argv[1], i + 1, problem.c_str());
            return 1;
        }
    }

    Fonts fonts;
    if (FT_Init_FreeType (&fonts.library) != 0)
        return 1;
    const std::string folder = argv[2];
    fonts.title = loadFace (fonts.library, folder + "/DejaVuSans-Bold.ttf");
    fonts.body = loadFace (fonts.library, folder + "/DejaVuSansMono.ttf");
    fonts.heading = loadFace (fonts.library, folder + "/DejaVuSansMono-Bold.ttf");
    if (fonts.title == nullptr || fonts.body == nullptr || fonts.heading == nullptr)
        return 1;

    const std::string target = argv[3];
    const std::string partial = target + ".part";
    Output output;
    errno = 0;
    output.file = std::fopen (partial.c_str(), "wb");
    if (output.file == nullptr)
    {
        std::fprintf (stderr, "notespdf: cannot write %s: %s\n", partial.c_str(), std::strerror (errno));
        return 1;
    }
    auto* surface = cairo_pdf_surface_create_for_stream (&Output::write, &output, pageWidth, pageHeight);
    cairo_pdf_surface_restrict_to_version (surface, CAIRO_PDF_VERSION_1_5);
    cairo_pdf_surface_set_metadata (surface, CAIRO_PDF_METADATA_TITLE, lines.front().c_str());
    cairo_pdf_surface_set_metadata (surface, CAIRO_PDF_METADATA_CREATOR, "Kestrel-Edit");
    cairo_pdf_surface_set_metadata (surface, CAIRO_PDF_METADATA_CREATE_DATE, "");
    auto* cr = cairo_create (surface);
    cairo_set_source_rgb (cr, 0.1, 0.1, 0.1);

    // The title, and its rule.
    double y = margin + titleSize;
    cairo_set_font_face (cr, fonts.title);
    cairo_set_font_size (cr, titleSize);
    cairo_move_to (cr, margin, y);
    cairo_show_text (cr, lines.front().c_str());
    size_t next = 1;
    size_t linesSet = cairo_status (cr) == CAIRO_STATUS_SUCCESS ? 1 : 0;
    size_t failedLine = linesSet == 1 ? 0 : 1;
    if (next < lines.size() && isRule (lines[next]))
    {
        y += 8.0;
        cairo_set_line_width (cr, 0.75);
        cairo_move_to (cr, margin, y);
        cairo_line_to (cr, pageWidth - margin, y);
        cairo_stroke (cr);
        ++next;
        ++linesSet;
    }
    y += lineHeight;

    cairo_set_font_size (cr, bodySize);
    cairo_set_font_face (cr, fonts.body);
    cairo_text_extents_t em;
    cairo_text_extents (cr, "M", &em);
    const auto columns = (size_t) ((pageWidth - 2 * margin) / em.x_advance);

    for (; next < lines.size() && failedLine == 0; ++next)
    {
        const auto& line = lines[next];
        const bool heading = ! line.empty() && line[0] != ' ' && ! isListItem (line) && next + 1 < lines.size()
                             && isListItem (lines[next + 1]);
        for (auto& piece : wrap (line, columns))
        {
            y += lineHeight;
            if (y > pageHeight - margin)
            {
                cairo_show_page (cr);
                y = margin + bodySize;
            }
            cairo_set_font_face (cr, heading ? fonts.heading : fonts.body);
            cairo_set_font_size (cr, bodySize);
            cairo_move_to (cr, margin, y);
            cairo_show_text (cr, piece.c_str());
        }
        // Cairo sets nothing more once it has failed: the line is named.
        if (cairo_status (cr) == CAIRO_STATUS_SUCCESS)
            ++linesSet;
        else
            failedLine = next + 1;
    }
    const auto drawStatus = cairo_status (cr);

    cairo_destroy (cr);
    cairo_surface_finish (surface);
    const auto status = cairo_surface_status (surface);
    cairo_surface_destroy (surface);
    cairo_font_face_destroy (fonts.title);
    cairo_font_face_destroy (fonts.body);
    cairo_font_face_destroy (fonts.heading);
    FT_Done_FreeType (fonts.library);
    const bool written = output.close();

    if (drawStatus != CAIRO_STATUS_SUCCESS || status != CAIRO_STATUS_SUCCESS || ! written)
    {
        if (! written)
            std::fprintf (stderr, "notespdf: cannot write %s: %s\n", partial.c_str(), std::strerror (output.error));
        else if (failedLine > 0)
            std::fprintf (stderr, "notespdf: %s, line %zu: %s\n", argv[1], failedLine, cairo_status_to_string (drawStatus));
        else
            std::fprintf (stderr, "notespdf: %s: %s\n", partial.c_str(), cairo_status_to_string (status));
        std::remove (partial.c_str());
        return 1;
    }
    if (std::rename (partial.c_str(), target.c_str()) != 0)
    {
        std::fprintf (stderr, "notespdf: cannot replace %s: %s\n", target.c_str(), std::strerror (errno));
        std::remove (partial.c_str());
        return 1;
    }
    std::printf ("notespdf: set %zu lines of %s\n", linesSet, argv[1]);
    return 0;
}
