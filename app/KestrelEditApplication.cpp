#include "app/KestrelEditApplication.h"

#include "app/MainAppWindow.h"

KestrelEditApplication::KestrelEditApplication() = default;
KestrelEditApplication::~KestrelEditApplication() = default;

const juce::String KestrelEditApplication::getApplicationName()
{
    return "Kestrel-Edit";
}

const juce::String KestrelEditApplication::getApplicationVersion()
{
    return JUCE_APPLICATION_VERSION_STRING;
}

bool KestrelEditApplication::moreThanOneInstanceAllowed()
{
    return true;
}

void KestrelEditApplication::initialise (const juce::String&)
{
    mainWindow = std::make_unique<MainAppWindow> (getApplicationName());
    mainWindow->setVisible (true);
}

void KestrelEditApplication::shutdown()
{
    mainWindow.reset();
}

void KestrelEditApplication::systemRequestedQuit()
{
    quit();
}

void KestrelEditApplication::anotherInstanceStarted (const juce::String&)
{
}

KestrelEditApplication* KestrelEditApplication::getApp()
{
    return dynamic_cast<KestrelEditApplication*> (juce::JUCEApplicationBase::getInstance());
}
