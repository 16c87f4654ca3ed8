// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Some libraries print straight to the process's stderr, past every message handler (libpng's
// "libpng error: ...", x264's "malloc failed"). While a StderrScratch is alive, stderr goes to a
// scratch file in memory and the real one is kept aside; at the end the held lines that are not
// the libraries' own are passed on to the real stderr. The two holds of the program (pictures,
// videos) are built on it.

#include <functional>
#include <string>

namespace tesselink {

class StderrScratch {
public:
    // Redirects stderr; when that is not possible nothing is redirected and Holding() is false.
    StderrScratch();
    // Restore(), dropping nothing, unless it has been called.
    ~StderrScratch();
    StderrScratch(const StderrScratch&) = delete;
    StderrScratch& operator=(const StderrScratch&) = delete;

    bool Holding() const { return saved_ >= 0; }
    // The real stderr, while holding (-1 otherwise).
    int RealStderr() const { return saved_; }
    // What was held from byte `at` on; `at` moves past it.
    std::string ReadFrom(long& at) const;
    // Puts the real stderr back and writes to it each held line (its newline included) for which
    // `dropped` is false. Once; nothing later.
    void Restore(const std::function<bool(const std::string& line)>& dropped);

private:
    int saved_ = -1;    // the real stderr while redirected
    int scratch_ = -1;  // where stderr goes meanwhile
};

}  // namespace tesselink
