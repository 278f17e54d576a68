#include "platform/win32/DirectShowGraph.h"

#include <windows.h>
#include <dshow.h>
#include <mmsystem.h>

#include <array>

#include "platform/win32/WideText.h"

namespace qv::win {

namespace {

template <typename T>
void releaseOne(T*& p) {
    if (p) p->Release();
    p = nullptr;
}

}  // namespace

DirectShowGraph::~DirectShowGraph() { release(); }

// Every call checks its interface: a graph that was never made, or is
// already released, answers E_POINTER instead of crashing.

bool DirectShowGraph::create() {
    release();
    // Without an audio output device there is nothing to play to, and
    // rendering a file would only fail after most of a second.
    if (waveOutGetNumDevs() == 0) return false;
    if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                reinterpret_cast<void**>(&graph_))) ||
        !graph_) {
        graph_ = nullptr;
        return false;
    }
    const bool whole =
        SUCCEEDED(graph_->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&control_))) && control_ &&
        SUCCEEDED(graph_->QueryInterface(IID_IMediaEvent, reinterpret_cast<void**>(&events_))) && events_ &&
        SUCCEEDED(graph_->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void**>(&seeking_))) && seeking_;
    if (!whole) release();
    return whole;
}

long DirectShowGraph::renderFile(const std::string& path) {
    if (!graph_) return E_POINTER;
    // The path in UTF-16, 260 characters with the terminator; a longer one is
    // refused rather than cut into another path.
    const auto wide = toWide(path);
    if (!wide) return HRESULT_FROM_WIN32(ERROR_NO_UNICODE_TRANSLATION);
    if (wide->size() >= MAX_PATH) return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
    return graph_->RenderFile(wide->c_str(), nullptr);
}

long DirectShowGraph::getAvailable(MediaTime& earliest, MediaTime& latest) {
    if (!seeking_) return E_POINTER;
    LONGLONG first = 0;
    LONGLONG last = 0;
    const HRESULT result = seeking_->GetAvailable(&first, &last);
    if (SUCCEEDED(result)) {
        earliest = first;
        latest = last;
    }
    return result;
}

long DirectShowGraph::run() { return control_ ? control_->Run() : E_POINTER; }

long DirectShowGraph::stop() { return control_ ? control_->Stop() : E_POINTER; }

long DirectShowGraph::getEvent(long& code, std::intptr_t& param1, std::intptr_t& param2, long timeoutMs) {
    if (!events_) return E_POINTER;
    long eventCode = 0;
    LONG_PTR first = 0;
    LONG_PTR second = 0;
    const HRESULT result = events_->GetEvent(&eventCode, &first, &second, timeoutMs);
    if (SUCCEEDED(result)) {
        code = eventCode;
        param1 = first;
        param2 = second;
    }
    return result;
}

long DirectShowGraph::freeEventParams(long code, std::intptr_t param1, std::intptr_t param2) {
    return events_ ? events_->FreeEventParams(code, param1, param2) : E_POINTER;
}

long DirectShowGraph::setPositions(MediaTime current, std::optional<MediaTime> stop) {
    if (!seeking_) return E_POINTER;
    LONGLONG start = current;
    LONGLONG end = stop.value_or(0);
    return seeking_->SetPositions(&start, AM_SEEKING_AbsolutePositioning, &end,
                                  stop ? AM_SEEKING_AbsolutePositioning : AM_SEEKING_NoPositioning);
}

long DirectShowGraph::setVolume(long volume) {
    if (!control_) return E_POINTER;
    IBasicAudio* audio = nullptr;
    HRESULT result = control_->QueryInterface(IID_IBasicAudio, reinterpret_cast<void**>(&audio));
    if (FAILED(result) || !audio) return FAILED(result) ? result : E_NOINTERFACE;
    result = audio->put_Volume(volume);
    audio->Release();
    return result;
}

void DirectShowGraph::release() {
    releaseOne(seeking_);
    releaseOne(control_);
    releaseOne(events_);
    releaseOne(graph_);
}

}  // namespace qv::win
