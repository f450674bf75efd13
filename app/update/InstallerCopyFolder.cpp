#include "app/update/InstallerCopyFolder.h"

#if JUCE_LINUX || JUCE_MAC || JUCE_BSD
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace
{
constexpr int nameLetters = 6; // as mkdtemp fills "XXXXXX"
// Deeper than anything the program puts in its folders; an inner folder
// below this is left, never followed further.
constexpr int maxDepth = 16;

juce::File temporaryFolder()
{
    const auto base = juce::File::getSpecialLocation (juce::File::tempDirectory);
    return juce::File::isAbsolutePath (base.getFullPathName()) ? base : juce::File();
}

bool isCopyFolderName (const std::string& name)
{
    const std::string prefix = InstallerCopyFolder::namePrefix;

    if (name.size() != prefix.size() + nameLetters || name.compare (0, prefix.size(), prefix) != 0)
        return false;

    for (auto c : name.substr (prefix.size()))
        if (! ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;

    return true;
}

// The mark names the very folder it was made in: a folder copied or made
// anew under the same name does not carry it.
std::string markName (const struct stat& folder)
{
    return ".kestrel-edit-copy-" + std::to_string ((unsigned long long) folder.st_dev) + "-" +
           std::to_string ((unsigned long long) folder.st_ino);
}

// A folder by its name in parent, never through a link (O_DIRECTORY opens
// folders only, for listing; nothing is read from a file here).
int openFolder (int parent, const char* name)
{
    return ::openat (parent, name, O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

bool isOwnFolder (int folder, struct stat& info)
{
    return ::fstat (folder, &info) == 0 && S_ISDIR (info.st_mode) && info.st_uid == ::getuid();
}

bool isMarked (int folder, const struct stat& info)
{
    struct stat mark = {};
    return ::fstatat (folder, markName (info).c_str(), &mark, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG (mark.st_mode) &&
           mark.st_uid == ::getuid();
}

std::vector<std::string> entryNames (int folder)
{
    std::vector<std::string> names;
    const int listing = ::fcntl (folder, F_DUPFD_CLOEXEC, 0);

    if (listing < 0)
        return names;

    DIR* dir = ::fdopendir (listing);

    if (dir == nullptr)
    {
        ::close (listing);
        return names;
    }

    // The copy shares its place in the listing with folder: an earlier
    // listing of folder has left it at the end.
    ::rewinddir (dir);

    while (auto* entry = ::readdir (dir))
    {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back (name);
    }

    ::closedir (dir);
    return names;
}

// Removes what folder holds, keep aside. An entry that opens as a folder of
// this user's without following a link is emptied and removed; any other
// entry, a link included, is unlinked itself.
void removeContents (int folder, int depth, const std::string& keep)
{
    for (auto& name : entryNames (folder))
    {
        if (name == keep)
            continue;

        const int inner = openFolder (folder, name.c_str());

        if (inner < 0)
        {
            ::unlinkat (folder, name.c_str(), 0);
            continue;
        }

        struct stat info = {};

        if (isOwnFolder (inner, info) && depth < maxDepth)
            removeContents (inner, depth + 1, {});

        ::close (inner);
        ::unlinkat (folder, name.c_str(), AT_REMOVEDIR);
    }
}

// Makes name in folder, for writing, never through a link nor over anything there.
int createFile (int folder, const char* name)
{
    return ::openat (folder, name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR);
}

// Whether folder holds nothing but the entry keep.
bool holdsOnly (int folder, const std::string& keep)
{
    const auto names = entryNames (folder);
    return names.size() == 1 && names.front() == keep;
}

// Removes the folder name of parent when it is one of ours: its name, its
// owner and its mark. The mark goes last, and only once nothing else is left,
// so that a removal cut short, or one that could not empty the folder, is
// finished by a later one.
void removeMarkedFolder (int parent, const std::string& name)
{
    if (! isCopyFolderName (name))
        return;

    const int folder = openFolder (parent, name.c_str());

    if (folder < 0)
        return;

    struct stat info = {};

    if (isOwnFolder (folder, info) && isMarked (folder, info))
    {
        const auto mark = markName (info);
        removeContents (folder, 0, mark);

        if (holdsOnly (folder, mark) && ::unlinkat (folder, mark.c_str(), 0) == 0 &&
            ::unlinkat (parent, name.c_str(), AT_REMOVEDIR) != 0)
        {
            // Something came in after the check: the folder stays ours.
            const int again = createFile (folder, mark.c_str());
            if (again >= 0)
                ::close (again);
        }

        ::close (folder);
        return;
    }

    ::close (folder);
}

bool writeAll (int file, const juce::MemoryBlock& bytes)
{
    for (size_t done = 0; done < bytes.getSize();)
    {
        const auto count = ::write (file, static_cast<const char*> (bytes.getData()) + done, bytes.getSize() - done);

        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return false;

        done += (size_t) count;
    }

    return true;
}
} // namespace

juce::File InstallerCopyFolder::writeCopy (const juce::MemoryBlock& bytes, const juce::String& fileName)
{
    const auto base = temporaryFolder();

    if (base == juce::File() || fileName.isEmpty() || fileName == "." || fileName == ".." ||
        fileName.containsChar ('/'))
        return {};

    // A folder made afresh, that only this user may enter (mkdtemp gives it
    // mode 0700): nobody else can put other bytes under the copy's name.
    auto pattern = base.getChildFile (juce::String (namePrefix) + "XXXXXX").getFullPathName().toStdString();

    if (::mkdtemp (pattern.data()) == nullptr)
        return {};

    const juce::File folderFile (juce::String::fromUTF8 (pattern.c_str()));
    const int folder = openFolder (AT_FDCWD, pattern.c_str());
    struct stat info = {};

    if (folder < 0 || ! isOwnFolder (folder, info))
    {
        if (folder >= 0)
            ::close (folder);
        return {};
    }

    const int mark = createFile (folder, markName (info).c_str());

    if (mark < 0)
    {
        ::close (folder);
        ::rmdir (pattern.c_str());
        return {};
    }

    ::close (mark);

    const int file = createFile (folder, fileName.toRawUTF8());
    bool written = file >= 0 && writeAll (file, bytes);

    // Made executable through the descriptor that wrote it, not by its name.
    written = written && ::fchmod (file, S_IRWXU) == 0;

    if (file >= 0)
        written = ::close (file) == 0 && written;

    ::close (folder);
    const auto copy = folderFile.getChildFile (fileName);

    if (! written)
    {
        removeCopy (copy);
        return {};
    }

    return copy;
}

void InstallerCopyFolder::removeCopy (const juce::File& copy)
{
    const auto folder = copy.getParentDirectory();
    const int parent = openFolder (AT_FDCWD, folder.getParentDirectory().getFullPathName().toRawUTF8());

    if (parent < 0)
        return;

    removeMarkedFolder (parent, folder.getFileName().toStdString());
    ::close (parent);
}

void InstallerCopyFolder::removeEarlierCopies()
{
    const auto base = temporaryFolder();

    if (base == juce::File())
        return;

    // The temporary folder itself may be reached through a link (as /tmp is
    // on some systems); nothing below it is.
    const int parent = ::open (base.getFullPathName().toRawUTF8(), O_DIRECTORY | O_CLOEXEC);

    if (parent < 0)
        return;

    for (auto& name : entryNames (parent))
        removeMarkedFolder (parent, name);

    ::close (parent);
}

#else

juce::File InstallerCopyFolder::writeCopy (const juce::MemoryBlock& bytes, const juce::String& fileName)
{
    const auto base = juce::File::getSpecialLocation (juce::File::tempDirectory);
    const auto folder = base.getNonexistentChildFile (juce::String (namePrefix) + "copy", {}, false);
    const auto copy = folder.getChildFile (fileName);

    if (fileName.isEmpty() || ! folder.createDirectory() || ! copy.replaceWithData (bytes.getData(), bytes.getSize()))
    {
        folder.deleteRecursively();
        return {};
    }

    return copy;
}

void InstallerCopyFolder::removeCopy (const juce::File& copy)
{
    copy.getParentDirectory().deleteRecursively();
}

void InstallerCopyFolder::removeEarlierCopies() {}

#endif
