#pragma once

#include <juce_gui_extra/juce_gui_extra.h>

#include <map>
#include <memory>

class BrakFxMeter;
class BrakFxReadout;
class ZOLLabelComponent;
class ZOLLedComponent;
class ZOLWindowSplitter;

// The skin document: the parsed skin XML, from which every window, dialog and
// widget takes its geometry, colours, images and fonts, and the resources of
// the skin's zip archive (images, SVG drawables, ".stf" typefaces).
//
// A skin document has the root "SKIN" with "skinEngineVersion" equal to the
// engine version (2.0) and "skin" naming its resource archive. The program's
// own skin is built in (loadBuiltInSkin); skin files ("*.sbraky") may also be
// loaded from disk with loadDocument, their archive lying beside them.
//
// Images and typefaces are handed out by archive file name ("btn-dialog.png",
// "sans.stf") or by the 64-bit hash of that name. A name the skin lacks gives
// the skin's stand-in ("missing_image_release.png", "_missing_font.stf");
// neither lookup ever gives nothing.
class SkinManager : public juce::FileBasedDocument
{
public:
    static constexpr double engineVersion = 2.0;
    static constexpr const char* rootTag = "SKIN";
    static constexpr const char* missingImageName = "missing_image_release.png";
    static constexpr const char* missingFontName = "_missing_font.stf";
    static constexpr const char* builtInDocumentName = "__components.xml";
    static constexpr const char* skinFolderName = "Skins";

    static constexpr const char* notASkinText = "Not a valid Skin file";
    static constexpr const char* cannotSaveText = "Couldn't create Skin file.";

    // Lists the skin files of the "Skins" folder beside the program.
    SkinManager();
    // Lists the skin files of the given folder instead (tests).
    explicit SkinManager (const juce::File& skinsFolder);
    ~SkinManager() override;

    // Reads a skin document (UTF-8 XML) and checks its root, engine version
    // and archive name. On failure the document held so far is kept and the
    // loaded flag is cleared. The archive is not opened here.
    juce::Result loadFromXml (const juce::MemoryBlock* data, double version);

    // Adds every image, drawable and typeface of the archive; fails for an
    // archive without entries, and stops and fails where its pictures pass
    // maxArchivePixels or its drawings maxArchiveSvgElements (or their style sheets
    // maxArchiveSvgStyleBytes). Resources accumulate over several archives: a later
    // image replaces one of the same name, an earlier typeface stays. A
    // damaged resource is left out and named in getRefusedResources().
    juce::Result loadResourceZip (juce::ZipFile& archive);

    // The resources the last archive read left out as damaged, each as
    // "name (what is wrong)".
    const juce::StringArray& getRefusedResources() const { return refusedResources; }
    static juce::String damagedResourcesText (const juce::String& archiveName, const juce::StringArray& refused);
    static juce::String tooManyPixelsText (const juce::String& archiveName, const juce::String& entryName);
    static juce::String tooManyDrawingsText (const juce::String& archiveName, const juce::String& entryName);

    // The program's own skin: the built-in archive's __components.xml, then
    // the archive itself.
    juce::Result loadBuiltInSkin();

    // Loads a document and its archive from memory (the built-in form).
    juce::Result loadFromArchiveData (const void* zipData, size_t zipSize);

    // The root element of the document held, or nullptr; and its first child
    // section of the tag, or nullptr.
    const juce::XmlElement* getSkinRoot() const { return skinRoot.get(); }
    const juce::XmlElement* getSection (const juce::String& tag) const;

    bool isLoaded() const { return loaded; }
    const juce::String& getArchiveName() const { return archiveName; }
    double getEngineVersion() const { return currentEngineVersion; }
    double getSkinVersion() const { return skinVersion; }

    // Images.
    static juce::int64 hashOf (const juce::String& fileName) { return fileName.hashCode64(); }
    juce::Image getImage (juce::int64 hash) const;
    juce::Image getImage (const juce::String& fileName) const;
    bool hasImage (const juce::String& fileName) const;
    void addImage (const juce::String& fileName, const juce::Image& image);

    // Typefaces: findTypeface is the exact, case-sensitive match or nullptr;
    // getTypeface falls back to the missing-font stand-in and then to the
    // framework's default typeface.
    juce::Typeface::Ptr findTypeface (const juce::String& fileName) const;
    juce::Typeface::Ptr getTypeface (const juce::String& fileName) const;
    void addTypeface (const juce::String& fileName, juce::Typeface::Ptr typeface);

    // Reads one ".stf" typeface; nullptr for a stream that is not a complete,
    // well-formed typeface (truncated or corrupted files are refused whole).
    static juce::Typeface::Ptr loadTypeface (juce::InputStream& stream);

    // Widget readers: each builds a new widget from one skin element (as a
    // rule a Widget of a section), placed and styled by its attributes; the
    // caller owns it. No element gives nothing.
    std::unique_ptr<ZOLLedComponent> createLedComponent (const juce::XmlElement* element,
                                                         const juce::String& widgetName) const;
    std::unique_ptr<BrakFxReadout> createFxReadout (const juce::XmlElement* element, const juce::String& widgetName,
                                                    juce::ChangeListener* listener = nullptr) const;
    std::unique_ptr<BrakFxMeter> createFxMeter (const juce::XmlElement* element, const juce::String& widgetName) const;
    std::unique_ptr<juce::TextEditor> createTextEditor (const juce::XmlElement* element,
                                                        const juce::String& componentName) const;
    std::unique_ptr<ZOLLabelComponent> createLabelComponent (const juce::XmlElement* element,
                                                             const juce::String& widgetName) const;
    std::unique_ptr<ZOLWindowSplitter> createWindowSplitter (const juce::XmlElement* element) const;

    // SVG drawables of the archive by entry name, or nullptr.
    const juce::Drawable* getDrawable (const juce::String& entryName) const;

    // Skin files found by scanSkinFolder, entry for entry: the "name" of each
    // and its path relative to the scanned folder.
    juce::StringArray foundSkinNames;
    juce::StringArray foundSkinPaths;
    void scanSkinFolder (const juce::File& skinsFolder);

    // FileBasedDocument.
    juce::String getDocumentTitle() override;
    // Refused with a message naming each damaged resource when any picture,
    // drawing or typeface of the archive fails its check.
    juce::Result loadDocument (const juce::File& file) override;
    juce::Result saveDocument (const juce::File& file) override;
    juce::File getLastDocumentOpened() override { return {}; }
    void setLastDocumentOpened (const juce::File&) override {}

    // Limits that keep a hostile archive from exhausting memory. The pixels
    // are those of all pictures of one archive together (256 MB decoded),
    // counted by the size each announces before it is decoded; the built-in
    // skin's take about 4.7 million. The elements are those of all SVG
    // drawings of one archive together, each within
    // SkinResourceCheck::maxSvgElements: they take a second or two to make
    // into drawables. The built-in skin has no SVG drawing.
    static constexpr juce::int64 maxEntryBytes = 32 * 1024 * 1024;
    static constexpr int maxImageSide = 8192;
    static constexpr juce::int64 maxArchivePixels = 64000000;
    static constexpr juce::uint64 maxArchiveSvgElements = 40000;
    // Their style sheets together, each within SkinResourceCheck::maxSvgStyleBytes.
    static constexpr juce::uint64 maxArchiveSvgStyleBytes = 8192;

private:
    struct Checked
    {
        std::unique_ptr<juce::XmlElement> root;
        juce::String archiveName;
        double skinVersion = 0.0;
    };

    // Parses and checks a skin document against the engine version.
    static juce::Result checkDocument (const void* data, size_t size, double version, Checked& out);
    void adopt (Checked& checked);
    // Checks one entry, and with add takes it in; a damaged one is named in
    // refusedResources. Its pixels count into archivePixels; the entry that
    // takes them past maxArchivePixels is neither decoded nor taken, and is
    // kept in pictureBudgetPassedAt. The elements of an SVG entry count into
    // archiveSvgElements alike, against maxArchiveSvgElements, and the bytes
    // of its style sheets into archiveSvgStyleBytes, against
    // maxArchiveSvgStyleBytes (drawingBudgetPassedAt).
    void readEntry (juce::ZipFile& archive, int index, bool add);
    // Reads every entry until one passes the picture or the drawing budget.
    void readEntries (juce::ZipFile& archive, bool add);
    // Fails, naming the entry, when the last reading passed a budget.
    juce::Result budgetResult (const juce::String& archiveFileName) const;

    std::unique_ptr<juce::XmlElement> skinRoot;
    juce::String archiveName;
    double currentEngineVersion = 0.0;
    double skinVersion = 0.0;
    bool loaded = false;

    std::map<juce::int64, juce::Image> images;
    juce::StringArray drawableNames;
    std::vector<std::unique_ptr<juce::Drawable>> drawables;
    juce::StringArray refusedResources;
    juce::int64 archivePixels = 0;
    juce::String pictureBudgetPassedAt;
    juce::uint64 archiveSvgElements = 0;
    juce::uint64 archiveSvgStyleBytes = 0;
    juce::String drawingBudgetPassedAt;
    juce::StringArray typefaceNames;
    juce::ReferenceCountedArray<juce::Typeface> typefaces;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SkinManager)
};
