#include "app/shell/KestrelContentComponent.h"
#include "app/shell/KestrelEditApplication.h"
#include "app/shell/MainAppWindow.h"
#include "librarian/LibrarianWindows.h"

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

START_JUCE_APPLICATION (KestrelEditProgram)
