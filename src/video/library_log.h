// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What FFmpeg's libraries (and the x264 encoder inside them) say goes through the program, never
// straight to the terminal: their error lines become part of the program's own reason (memory
// that ran out, a damaged frame), and a decoder's complaints count as damage to its frames.

#include <atomic>
#include <cstdio>
#include <memory>
#include <string>

#include "picture/stderr_scratch.h"

namespace tesselink {

// Whether memory is so short that 16 MB more cannot be mapped.
bool MemoryLooksShort();

// Routes FFmpeg's log into the program (idempotent, any thread). Nothing is printed from then on.
void InstallLibraryLog();

// A mark in the library's log, taken before a call, so that what the call logged can be asked for.
struct LibraryLogMark {
    unsigned long Lines = 0;
};
LibraryLogMark MarkLibraryLog();
// Whether a line logged since `mark` (or an x264 line held back by a LibraryStderrHold) says that
// memory ran out.
bool LibraryMemoryShortSince(LibraryLogMark mark);
// The last error line logged since `mark`, without its prefix and line end; empty when none.
std::string LibraryErrorSince(LibraryLogMark mark);

// The last line since `mark` in which a library refused a picture size ("Picture size WxH is invalid").
std::string LibrarySizeRefusalSince(LibraryLogMark mark);

// FFmpeg's text for `code`, or "not enough memory" when it or the libraries' lines since `mark`
// say memory ran out, with the library's own error line when it says more than the code.
std::string LibraryReason(int code, LibraryLogMark mark);

// Error lines a decoder logs about the frames it decodes. A decoder registers its codec context's
// `opaque` as one of these; the log callback adds to it from the decoder's own threads.
class DecoderComplaints {
public:
    DecoderComplaints();
    ~DecoderComplaints();
    DecoderComplaints(const DecoderComplaints&) = delete;
    DecoderComplaints& operator=(const DecoderComplaints&) = delete;

    unsigned long Count() const { return count_.load(); }
    std::string Last() const;  // the latest complaint's text
    // Called by the log callback (which checks first that this one is alive) for a line of its decoder.
    void Add(const std::string& line);

private:
    std::atomic<unsigned long> count_{0};
    std::string last_;  // guarded by the log's mutex
};

// While alive, whatever a library prints straight to stderr (x264 prints "malloc failed" there) is
// held back: x264's lines are dropped (one about memory is remembered for LibraryMemoryShortSince),
// any other line is passed on at the end. The program's own lines go to Messages(), the real
// stderr. One at a time, for a command-line run; a sanitizer build holds nothing back.
class LibraryStderrHold {
public:
    LibraryStderrHold();
    ~LibraryStderrHold();
    LibraryStderrHold(const LibraryStderrHold&) = delete;
    LibraryStderrHold& operator=(const LibraryStderrHold&) = delete;

    FILE* Messages() const { return messages_ ? messages_ : stderr; }
    // Reads what was held back so far (a line about memory sets the memory flag). Called with the
    // log's lock held, by LibraryMemoryShortSince.
    void Scan();

private:
    std::unique_ptr<StderrScratch> scratch_;
    long scanned_ = 0;
    FILE* messages_ = nullptr;  // a copy of the real stderr
};

}  // namespace tesselink
