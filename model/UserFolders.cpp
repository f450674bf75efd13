#include "model/UserFolders.h"

namespace
{
juce::CriticalSection redirectLock;
juce::File redirectRoot;

juce::File redirected (const char* name)
{
    const juce::ScopedLock sl (redirectLock);
    return redirectRoot == juce::File() ? juce::File() : redirectRoot.getChildFile (name);
}

juce::File xdgConfigFolder()
{
    auto fromEnvironment = juce::SystemStats::getEnvironmentVariable ("XDG_CONFIG_HOME", {});

    if (juce::File::isAbsolutePath (fromEnvironment))
        return juce::File (fromEnvironment);

    return juce::File::getSpecialLocation (juce::File::userHomeDirectory).getChildFile (".config");
}
} // namespace

juce::File UserFolders::getDocumentsFolder()
{
    auto folder = redirected ("documents");
    return folder != juce::File() ? folder : juce::File::getSpecialLocation (juce::File::userDocumentsDirectory);
}

juce::File UserFolders::getApplicationDataFolder()
{
    auto folder = redirected ("appdata");
#if JUCE_LINUX
    return folder != juce::File() ? folder : xdgConfigFolder();
#else
    return folder != juce::File() ? folder : juce::File::getSpecialLocation (juce::File::userApplicationDataDirectory);
#endif
}

juce::File UserFolders::getProgramFolder()
{
    auto folder = redirected ("program");
    return folder != juce::File()
               ? folder
               : juce::File::getSpecialLocation (juce::File::currentExecutableFile).getParentDirectory();
}

juce::File UserFolders::getSettingsFolder()
{
    return getApplicationDataFolder().getChildFile (companyFolderName()).getChildFile (programFolderName());
}

juce::File UserFolders::getWorkFolder()
{
    return getDocumentsFolder().getChildFile (companyFolderName()).getChildFile (programFolderName());
}

void UserFolders::redirectTo (const juce::File& root)
{
    const juce::ScopedLock sl (redirectLock);
    redirectRoot = root;
}

juce::File UserFolders::getRedirectRoot()
{
    const juce::ScopedLock sl (redirectLock);
    return redirectRoot;
}
