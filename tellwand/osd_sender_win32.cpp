#include "tellwand/osd_sender_win32.h"

#include <cstring>
#include <string>

#include "base/trace.h"
#include "base/trace_win32.h"
#include "protocol/protocol.h"

void OsdSender::Start(HWND sender) {
    Stop();
    sender_ = sender;
    stopping_ = false;
    thread_ = std::thread(&OsdSender::Run, this);
}

void OsdSender::Stop() {
    if (!thread_.joinable()) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void OsdSender::Send(HWND osd, const OsdText& text) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        osd_ = osd;
        text_ = text;
        pending_ = true;
    }
    wake_.notify_one();
}

void OsdSender::Run() {
    for (;;) {
        HWND osd = nullptr;
        OsdText text;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [this] { return pending_ || stopping_; });
            if (stopping_) {
                return;
            }
            osd = osd_;
            text = text_;
            pending_ = false;
        }
        std::string shown(text.data(), strnlen(text.data(), text.size()));
        COPYDATASTRUCT data = {};
        data.cbData = static_cast<DWORD>(text.size());
        data.lpData = text.data();
        DWORD_PTR result = 0;
        // A text the OSD did not take is not shown: the show would bring back an old one.
        if (SendMessageTimeoutA(osd, WM_COPYDATA, reinterpret_cast<WPARAM>(sender_),
                                reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, kSendTimeoutMs,
                                &result)) {
            Trace("OSD text \"%s\" taken by WandEdit", shown.c_str());
            PostMessageA(osd, kMsgOsdShow, 0, 0);
        } else {
            TraceLastError(("OSD text \"" + shown + "\" to WandEdit").c_str());
        }
    }
}
