#include "app/KestrelEditApplication.h"

START_JUCE_APPLICATION (KestrelEditApplication)
