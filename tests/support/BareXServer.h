#pragma once

// A bare X server (Xvfb without a window manager) has never seen the window
// manager's atoms, and JUCE only looks them up without creating them. This
// creates them so that real windows can open. The connection stays open for
// the object's lifetime, since a bare server forgets its atoms when its last
// client leaves: keep it for the whole run. It also makes X errors harmless,
// as they are in the program. Nothing happens without a DISPLAY; one whose
// server does not answer in time is taken as none (DISPLAY is unset).
class BareXServer
{
public:
    BareXServer();
    ~BareXServer();

    BareXServer (const BareXServer&) = delete;
    BareXServer& operator= (const BareXServer&) = delete;

private:
    void* display = nullptr;
};
