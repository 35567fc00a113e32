#pragma once
// Hands the OSD text to WandEdit's OSD window from a thread of its own, so that the reader
// never waits for WandEdit: a busy or hung OSD costs the remote nothing. When texts come
// faster than the OSD takes them, the latest one wins.

#include <windows.h>

#include <condition_variable>
#include <mutex>
#include <thread>

#include "tellwand/dispatcher.h"

class OsdSender {
  public:
    OsdSender() = default;
    ~OsdSender() { Stop(); }
    OsdSender(const OsdSender&) = delete;
    OsdSender& operator=(const OsdSender&) = delete;

    // `sender` is Tellwand's window: the OSD takes texts from it only.
    void Start(HWND sender);
    void Stop();
    // Sends `text` to `osd` by WM_COPYDATA and, once the OSD took it, posts the show.
    void Send(HWND osd, const OsdText& text);

    // A busy OSD (fonts, window moves) gets this long; a hung one is skipped at once. Only
    // this thread and the exit wait for it, never the reader.
    static constexpr UINT kSendTimeoutMs = 5000;

  private:
    void Run();

    // Written by Start before the thread starts, then only read by it.
    HWND sender_ = nullptr;

    // Guards the members below it but thread_: Send (the reader) and Stop (the window
    // thread) write them, the sender thread takes a copy and lets go before it sends.
    std::mutex mutex_;
    std::condition_variable wake_;  // the sender thread waits on it for a text or the stop
    bool pending_ = false;
    bool stopping_ = false;
    HWND osd_ = nullptr;
    OsdText text_{};

    // Started by Start, joined by Stop, both on the window thread.
    std::thread thread_;
};
