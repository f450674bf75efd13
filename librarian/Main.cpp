#include "app/shell/KestrelContentComponent.h"
#include "app/shell/KestrelEditApplication.h"
#include "app/shell/MainAppWindow.h"
#include "librarian/LibrarianWindows.h"

#include <cstdio>

// The program: the editor application, whose main window's content also
// creates the librarian's windows. Kept out of the librarian's library, so
// that the tests bring their own main.
class KestrelEditProgram : public KestrelEditApplication
{
public:
    void initialise (const juce::String& commandLine) override
    {
        LibrarianWindows::registerPanes();
        KestrelEditApplication::initialise (commandLine);

        if (auto* window = getMainWindow())
            if (auto* content = window->getContent())
                librarianWindows = std::make_unique<LibrarianWindows> (*content);
    }

    void shutdown() override
    {
        librarianWindows.reset();
        KestrelEditApplication::shutdown();
    }

private:
    std::unique_ptr<LibrarianWindows> librarianWindows;
};

JUCE_CREATE_APPLICATION_DEFINE (KestrelEditProgram)

// The framework's main, after one check: without a graphical display the
// program says so and ends before it reads or writes anything of the user's.
int main (int argc, char* argv[])
{
    if (const auto problem = KestrelEditApplication::missingDisplayText(); problem.isNotEmpty())
    {
        std::fprintf (stderr, "%s\n", problem.toRawUTF8());
        return 1;
    }

    juce::JUCEApplicationBase::createInstance = &juce_CreateApplication;
    return juce::JUCEApplicationBase::main (argc, (const char**) argv);
}
