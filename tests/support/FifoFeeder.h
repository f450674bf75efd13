#pragma once

#include <juce_core/juce_core.h>

#if JUCE_LINUX || JUCE_MAC
#include <atomic>
#include <chrono>
#include <csignal>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// A FIFO that hands its bytes to every reader that opens it, then ends. A
// reader that never opens it leaves the feeder waiting until it goes. Check
// made before use: mkfifo can fail.
struct FifoFeeder
{
    FifoFeeder (const juce::File& fifo, const juce::MemoryBlock& bytesToFeed) : file (fifo), bytes (bytesToFeed)
    {
        std::signal (SIGPIPE, SIG_IGN); // a reader that stops early must not end the tests
        made = ::mkfifo (file.getFullPathName().toRawUTF8(), 0600) == 0;
        if (made)
            feeder = std::thread ([this] { run(); });
    }

    ~FifoFeeder()
    {
        stop = true;
        if (feeder.joinable())
            feeder.join();
        file.deleteFile();
    }

    FifoFeeder (const FifoFeeder&) = delete;
    FifoFeeder& operator= (const FifoFeeder&) = delete;

    juce::File file;
    juce::MemoryBlock bytes;
    bool made = false;
    std::atomic<int> readersFed{ 0 };

private:
    void run()
    {
        while (! stop)
        {
            // Not blocking: without a reader this fails at once.
            const auto fd = ::open (file.getFullPathName().toRawUTF8(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd < 0)
            {
                std::this_thread::sleep_for (std::chrono::milliseconds (2));
                continue;
            }

            // The program may have put a file in the FIFO's place.
            struct stat info {};
            if (::fstat (fd, &info) != 0 || ! S_ISFIFO (info.st_mode))
            {
                ::close (fd);
                return;
            }

            ++readersFed; // before the reader can see the end
            ::fcntl (fd, F_SETFL, 0);
            const auto* data = static_cast<const char*> (bytes.getData());
            for (size_t done = 0; done < bytes.getSize() && ! stop;)
            {
                const auto wrote = ::write (fd, data + done, bytes.getSize() - done);
                if (wrote <= 0)
                    break;
                done += (size_t) wrote;
            }
            ::close (fd);
        }
    }

    std::atomic<bool> stop{ false };
    std::thread feeder;
};
#endif
