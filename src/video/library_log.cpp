// SPDX-License-Identifier: GPL-3.0-or-later
#include "video/library_log.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/log.h>
}

#include <sys/mman.h>
#include <unistd.h>

#include <cstdarg>
#include <mutex>
#include <set>

#include "video/video_path.h"

namespace tesselink {
namespace {

std::mutex logMutex;  // guards everything below and every DecoderComplaints' text
unsigned long errorLines = 0;
unsigned long lastErrorLine = 0;
std::string lastError;
unsigned long lastMemoryLine = 0;
unsigned long lastSizeLine = 0;  // the last "Picture size WxH is invalid"
std::string lastSize;            // the errorLines count at the last line about memory
std::set<const void*> liveComplaints;
LibraryStderrHold* activeHold = nullptr;

bool SaysMemory(const std::string& line) {
    std::string lower(line);
    for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return lower.find("malloc") != std::string::npos || lower.find("memory") != std::string::npos ||
           lower.find("alloc") != std::string::npos;
}

std::string Trimmed(std::string line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' ')) line.pop_back();
    return line;
}

// Under logMutex.
void RecordError(const std::string& line) {
    ++errorLines;
    lastErrorLine = errorLines;
    lastError = line;
    if (SaysMemory(line)) lastMemoryLine = errorLines;
    if (line.find("Picture size ") != std::string::npos) {
        lastSizeLine = errorLines;
        lastSize = line;
    }
}

void OnLibraryLog(void* context, int level, const char* format, va_list arguments) {
    if (level > AV_LOG_ERROR) return;
    char text[512];
    va_list copy;
    va_copy(copy, arguments);
    std::vsnprintf(text, sizeof text, format, copy);
    va_end(copy);
    // A line may come in pieces ("slice CRC mismatch", then " at 1.5 seconds\n"): joined per thread.
    thread_local std::string pending;
    pending += text;
    if (pending.empty() || (pending.back() != '\n' && pending.size() < 400)) return;
    const std::string line = Trimmed(pending);
    pending.clear();
    if (line.empty()) return;
    std::lock_guard<std::mutex> lock(logMutex);
    RecordError(line);
    if (!context) return;
    const AVClass* const* cls = static_cast<const AVClass* const*>(context);
    if (*cls != avcodec_get_class()) return;
    const auto* codec = static_cast<const AVCodecContext*>(context);
    if (codec->codec && av_codec_is_decoder(codec->codec) && liveComplaints.count(codec->opaque))
        static_cast<DecoderComplaints*>(codec->opaque)->Add(line);
}

}  // namespace

void InstallLibraryLog() {
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_callback(&OnLibraryLog); });
}

LibraryLogMark MarkLibraryLog() {
    std::lock_guard<std::mutex> lock(logMutex);
    return LibraryLogMark{errorLines};
}

bool LibraryMemoryShortSince(LibraryLogMark mark) {
    std::lock_guard<std::mutex> lock(logMutex);
    if (activeHold) activeHold->Scan();
    return lastMemoryLine > mark.Lines;
}

std::string LibraryErrorSince(LibraryLogMark mark) {
    std::lock_guard<std::mutex> lock(logMutex);
    return lastErrorLine > mark.Lines ? lastError : std::string();
}

bool MemoryLooksShort() {
    // Two threads' stacks: what a library that failed silently most likely could not get.
    constexpr std::size_t Probe = 16u << 20;
    void* room = ::mmap(nullptr, Probe, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (room == MAP_FAILED) return true;
    ::munmap(room, Probe);
    return false;
}

std::string LibrarySizeRefusalSince(LibraryLogMark mark) {
    std::lock_guard<std::mutex> lock(logMutex);
    return lastSizeLine > mark.Lines ? lastSize : std::string();
}

std::string LibraryReason(int code, LibraryLogMark mark) {
    if (code == AVERROR(ENOMEM) || LibraryMemoryShortSince(mark)) return "not enough memory";
    // x264 says nothing when a thread of its own cannot start.
    if (code == AVERROR_EXTERNAL && MemoryLooksShort()) return "not enough memory";
    std::string text = AvErrorText(code);
    // "Generic error in an external library" and the like say little; the library's line says more.
    const std::string line = LibraryErrorSince(mark);
    if (!line.empty() && line != text) text += " (" + line + ")";
    return text;
}

DecoderComplaints::DecoderComplaints() {
    std::lock_guard<std::mutex> lock(logMutex);
    liveComplaints.insert(this);
}

DecoderComplaints::~DecoderComplaints() {
    std::lock_guard<std::mutex> lock(logMutex);
    liveComplaints.erase(this);
}

std::string DecoderComplaints::Last() const {
    std::lock_guard<std::mutex> lock(logMutex);
    return last_;
}

void DecoderComplaints::Add(const std::string& line) {
    last_ = line;  // the callback holds logMutex
    ++count_;
}

LibraryStderrHold::LibraryStderrHold() {
#if defined(__SANITIZE_ADDRESS__)
    return;  // a sanitizer's report must reach the terminal even when the process dies
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(memory_sanitizer)
    return;
#endif
#endif
    scratch_ = std::make_unique<StderrScratch>();
    const int real = scratch_->Holding() ? ::dup(scratch_->RealStderr()) : -1;
    if (real >= 0) messages_ = ::fdopen(real, "w");
    if (!messages_) {
        if (real >= 0) ::close(real);
        scratch_.reset();  // puts stderr back
        return;
    }
    std::setvbuf(messages_, nullptr, _IONBF, 0);
    std::lock_guard<std::mutex> lock(logMutex);
    activeHold = this;
}

LibraryStderrHold::~LibraryStderrHold() {
    if (!messages_) return;
    {
        std::lock_guard<std::mutex> lock(logMutex);
        activeHold = nullptr;
    }
    std::fclose(messages_);
    // What was not a library's line is passed on: x264's start "x264 [", and fontconfig's (it
    // complains when memory runs short while the fonts are read) "Fontconfig ".
    scratch_->Restore([](const std::string& line) {
        return line.compare(0, 6, "x264 [") == 0 || line.compare(0, 11, "Fontconfig ") == 0;
    });
}

void LibraryStderrHold::Scan() {
    if (!scratch_) return;
    // Called under logMutex.
    const std::string held = scratch_->ReadFrom(scanned_);
    for (std::size_t start = 0; start < held.size();) {
        std::size_t end = held.find('\n', start);
        if (end == std::string::npos) end = held.size();
        const std::string line = Trimmed(held.substr(start, end - start));
        if (!line.empty()) RecordError(line);
        start = end + 1;
    }
}

}  // namespace tesselink
