// SPDX-License-Identifier: GPL-3.0-or-later
#include "video/live_source_address.h"

#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <set>
#include <vector>

namespace tesselink {
namespace {

bool Fail(std::string* why, const std::string& text) {
    if (why) *why = text;
    return false;
}

bool StartsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::strlen(prefix), prefix) == 0;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAlnum(char c) { return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// A decimal number without sign or blank, at most `max`; false when it is anything else.
bool ParseNumber(const std::string& text, long long max, long long& value) {
    if (text.empty() || text.size() > 12) return false;
    value = 0;
    for (char c : text) {
        if (!IsDigit(c)) return false;
        value = value * 10 + (c - '0');
    }
    return value <= max;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) return parts;
        start = end + 1;
    }
}

// Characters a URL's path and query may hold here: RFC 3986's unreserved and sub-delimiters, the
// separators and percent escapes. No blank (FFmpeg's RTMP takes options after one), no '|', '\\',
// quotes or angle brackets.
bool IsUrlCharacter(char c) { return IsAlnum(c) || std::strchr("-._~!$&'()*+,;=:@/?%", c) != nullptr; }

struct OptionRule {
    const char* Name;
    long long Max;  // a number up to Max; negative: a text
};

// Options of the UDP and RTP protocols a receiver may set in the address. The sizes are capped,
// since FFmpeg allocates them as asked.
const OptionRule UdpOptions[] = {
    {"localaddr", -1},         {"localport", 65535}, {"pkt_size", 65536}, {"buffer_size", 64 << 20},
    {"fifo_size", 200000},     {"sources", -1},      {"block", -1},       {"overrun_nonfatal", 1},
    {"timeout", 3600000000LL}, {"reuse", 1},         {"reuse_socket", 1},
};
const OptionRule RtpOptions[] = {
    {"localaddr", -1},   {"localport", 65535}, {"localrtpport", 65535},   {"localrtcpport", 65535},
    {"rtcpport", 65535}, {"pkt_size", 65536},  {"buffer_size", 64 << 20}, {"fifo_size", 200000},
    {"sources", -1},     {"block", -1},        {"timeout", 3600000000LL},
};
const OptionRule SrtOptions[] = {
    {"mode", -1},
    {"latency", 10000000},
    {"rcvlatency", 10000000},
    {"peerlatency", 10000000},
    {"passphrase", -1},
    {"pbkeylen", 32},
    {"streamid", -1},
    {"timeout", 3600000000LL},
    {"listen_timeout", 3600000000LL},
    {"connect_timeout", 3600000},
    {"rcvbuf", 64 << 20},
    {"payload_size", 1456},
    {"maxbw", 1LL << 40},
    {"tlpktdrop", 1},
    {"nakreport", 1},
    {"transtype", -1},
    {"enforced_encryption", 1},
};

template <std::size_t N>
bool CheckOptions(const std::string& query, const OptionRule (&rules)[N], LiveSourceKind kind, std::string* why) {
    if (query.empty()) return true;
    std::set<std::string> seen;
    for (const std::string& item : Split(query, '&')) {
        const std::size_t equals = item.find('=');
        const std::string name = item.substr(0, equals);
        const std::string value = equals == std::string::npos ? std::string() : item.substr(equals + 1);
        if (name.empty()) return Fail(why, "has an option without a name");
        const OptionRule* rule = nullptr;
        for (const OptionRule& r : rules) {
            if (name == r.Name) rule = &r;
        }
        if (!rule)
            return Fail(why, "has the option \"" + name + "\", which a " + LiveSourceKindName(kind) + " does not take");
        if (!seen.insert(name).second) return Fail(why, "has the option \"" + name + "\" twice");
        if (equals == std::string::npos || value.empty())
            return Fail(why, "has the option \"" + name + "\" without a value");
        long long number = 0;
        if (rule->Max >= 0 && !ParseNumber(value, rule->Max, number))
            return Fail(why, "has the option " + name + "=" + value + "; it takes a number from 0 to " +
                                 std::to_string(rule->Max));
    }
    return true;
}

// scheme://[userinfo@]host[:port][/path][?query], the scheme already checked.
bool ParseNetworkUrl(const std::string& text, std::size_t schemeLength, LiveSourceAddress& address, std::string* why) {
    const LiveSourceKind kind = address.Kind;
    const bool pathAllowed = kind == LiveSourceKind::Rtmp || kind == LiveSourceKind::Rtsp;
    const bool hostRequired = pathAllowed;
    const bool portRequired = !pathAllowed;

    std::string rest = text.substr(schemeLength);
    for (char c : rest) {
        if (!IsUrlCharacter(c) && c != '[' && c != ']') return Fail(why, std::string("has the character '") + c + "'");
    }
    const std::size_t authorityEnd = rest.find_first_of("/?");
    const std::string authority = rest.substr(0, authorityEnd);
    std::string path, query;
    if (authorityEnd != std::string::npos) {
        const std::size_t question = rest.find('?', authorityEnd);
        path = rest.substr(authorityEnd, question == std::string::npos ? std::string::npos : question - authorityEnd);
        if (question != std::string::npos) query = rest.substr(question + 1);
    }

    std::string hostPort = authority;
    const std::size_t at = authority.rfind('@');
    if (at != std::string::npos) {
        // Credentials only where a server asks for them; UDP, RTP and SRT take a bare '@' (any
        // local address, as for multicast).
        if (!pathAllowed && at != 0)
            return Fail(why, "has a user name, which a " + std::string(LiveSourceKindName(kind)) + " does not take");
        hostPort = authority.substr(at + 1);
    }
    std::string host, port;
    if (!hostPort.empty() && hostPort[0] == '[') {
        const std::size_t close = hostPort.find(']');
        if (close == std::string::npos) return Fail(why, "has an IPv6 address without its closing ']'");
        host = hostPort.substr(1, close - 1);
        for (char c : host) {
            if (!(IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || c == ':' || c == '.'))
                return Fail(why, "has an IPv6 address that is not one");
        }
        if (host.empty()) return Fail(why, "has an empty IPv6 address");
        const std::string after = hostPort.substr(close + 1);
        if (!after.empty()) {
            if (after[0] != ':') return Fail(why, "has text after its IPv6 address");
            port = after.substr(1);
            if (port.empty()) return Fail(why, "has a ':' without a port number");
        }
    } else {
        const std::size_t colon = hostPort.find(':');
        host = hostPort.substr(0, colon);
        if (colon != std::string::npos) {
            port = hostPort.substr(colon + 1);
            if (port.empty()) return Fail(why, "has a ':' without a port number");
        }
        for (char c : host) {
            if (!(IsAlnum(c) || c == '.' || c == '-' || c == '_'))
                return Fail(why, "has the host name \"" + host + "\", which is not one");
        }
    }
    if (host.empty() && hostRequired) return Fail(why, "has no host");
    long long portNumber = 0;
    if (!port.empty() && (!ParseNumber(port, 65535, portNumber) || portNumber == 0))
        return Fail(why, "has the port \"" + port + "\"; a port is a number from 1 to 65535");
    if (port.empty() && portRequired)
        return Fail(why, "has no port (as in " + text.substr(0, schemeLength) + "127.0.0.1:1234)");

    if (!pathAllowed) {
        if (!path.empty() && path != "/")
            return Fail(why, "has a path after the port; a " + std::string(LiveSourceKindName(kind)) + " takes none");
        bool ok = true;
        if (kind == LiveSourceKind::Udp) ok = CheckOptions(query, UdpOptions, kind, why);
        if (kind == LiveSourceKind::Rtp) ok = CheckOptions(query, RtpOptions, kind, why);
        if (kind == LiveSourceKind::Srt) ok = CheckOptions(query, SrtOptions, kind, why);
        if (!ok) return false;
    }
    address.Url = text;
    return true;
}

bool ParseDevice(const std::string& path, LiveSourceAddress& address, std::string* why) {
    if (!StartsWith(path, "/dev/") || path.size() == 5)
        return Fail(why, "names no device: a V4L2 device is a path in /dev, as in v4l2:/dev/video0");
    for (char c : path) {
        if (!(IsAlnum(c) || std::strchr("/._-:+", c)))
            return Fail(why, std::string("has the character '") + c + "' in its device path");
    }
    if (path.find("//") != std::string::npos || path.find("/./") != std::string::npos ||
        path.find("/../") != std::string::npos || path.back() == '/' ||
        (path.size() >= 3 && path.compare(path.size() - 3, 3, "/..") == 0))
        return Fail(why, "has a device path that is not plain (no '//', '.' or '..' in it)");
    // A device that is not there yet may come (it is retried); anything else there is refused.
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && !S_ISCHR(info.st_mode))
        return Fail(why, "names " + path + ", which is not a capture device");
    address.Url = path;
    address.InputFormat = "v4l2";
    address.ProtocolWhitelist = "file";
    address.FormatWhitelist = "v4l2";
    return true;
}

bool ParseDesktop(const std::string& area, const LiveSourceEnvironment& environment, LiveSourceAddress& address,
                  std::string* why) {
    if (environment.Display.empty()) {
        if (!environment.WaylandDisplay.empty())
            return Fail(why, "is not available on Wayland: capturing the desktop needs an X11 session");
        return Fail(why, "needs an X11 display, and DISPLAY is not set");
    }
    const std::vector<std::string> parts = Split(area, ',');
    if (parts.size() != 1 && parts.size() != 5) return Fail(why, "is not desktop:SCREEN or desktop:SCREEN,X,Y,W,H");
    const std::string& screen = parts[0];
    std::string display;
    long long number = 0;
    if (ParseNumber(screen, 99, number)) {
        // A screen of the session's display: its name without a screen part, then this one.
        display = environment.Display;
        const std::size_t colon = display.rfind(':');
        const std::size_t dot = display.find('.', colon == std::string::npos ? 0 : colon);
        if (dot != std::string::npos) display.erase(dot);
        display += "." + std::to_string(number);
    } else if (screen.size() >= 2 && screen[0] == ':') {
        const std::vector<std::string> numbers = Split(screen.substr(1), '.');
        long long n = 0;
        if (numbers.size() > 2 || !ParseNumber(numbers[0], 9999, n) ||
            (numbers.size() == 2 && !ParseNumber(numbers[1], 99, n)))
            return Fail(why, "has the display \"" + screen + "\"; a display is :D or :D.S");
        display = screen;
    } else {
        return Fail(why, "has the screen \"" + screen + "\"; a screen is a number (0 for the first) or a display :D.S");
    }
    for (char c : display) {
        if (!(IsAlnum(c) || std::strchr(":._-/", c))) return Fail(why, "cannot use the display \"" + display + "\"");
    }
    address.Url = display;
    if (parts.size() == 5) {
        long long values[4] = {};
        const char* names[4] = {"X", "Y", "W", "H"};
        for (int i = 0; i < 4; ++i) {
            const long long max = i < 2 ? 65535 : 16384;
            if (!ParseNumber(parts[static_cast<std::size_t>(i) + 1], max, values[i]))
                return Fail(why, std::string("has ") + names[i] + " = \"" + parts[static_cast<std::size_t>(i) + 1] +
                                     "\"; it is a number from " + (i < 2 ? "0" : "1") + " to " + std::to_string(max));
        }
        if (values[2] == 0 || values[3] == 0) return Fail(why, "has an empty rectangle");
        address.HasRectangle = true;
        address.X = static_cast<int>(values[0]);
        address.Y = static_cast<int>(values[1]);
        address.Width = static_cast<int>(values[2]);
        address.Height = static_cast<int>(values[3]);
        address.Url += "+" + std::to_string(address.X) + "," + std::to_string(address.Y);
    }
    address.InputFormat = "x11grab";
    address.ProtocolWhitelist = "file";
    address.FormatWhitelist = "x11grab";
    return true;
}

}  // namespace

LiveSourceEnvironment LiveSourceEnvironment::Current() {
    LiveSourceEnvironment environment;
    if (const char* display = std::getenv("DISPLAY")) environment.Display = display;
    if (const char* wayland = std::getenv("WAYLAND_DISPLAY")) environment.WaylandDisplay = wayland;
    return environment;
}

const char* LiveSourceKindName(LiveSourceKind kind) {
    switch (kind) {
    case LiveSourceKind::Device: return "V4L2 device";
    case LiveSourceKind::Srt: return "SRT stream";
    case LiveSourceKind::Rtmp: return "RTMP stream";
    case LiveSourceKind::Rtsp: return "RTSP stream";
    case LiveSourceKind::Udp: return "UDP stream";
    case LiveSourceKind::Rtp: return "RTP stream";
    case LiveSourceKind::Desktop: return "part of the desktop";
    }
    return "live source";
}

bool ParseLiveSourceAddress(const std::string& text, const LiveSourceEnvironment& environment,
                            LiveSourceAddress& address, std::string* why) {
    address = LiveSourceAddress();
    if (text.empty()) return Fail(why, "The source address is empty");
    if (text.size() > MaxLiveSourceAddressLength)
        return Fail(why,
                    "The source address is longer than " + std::to_string(MaxLiveSourceAddressLength) + " characters");
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7f) return Fail(why, "The source address has a control character in it");
        if (c == ' ') return Fail(why, "The source address has a blank in it");
        if (c >= 0x80) return Fail(why, "The source address has a character beyond ASCII in it");
    }
    address.Text = text;

    // The scheme compared without case; FFmpeg is given it in lower case.
    std::string lower = text;
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    struct Scheme {
        const char* Prefix;
        LiveSourceKind Kind;
        const char* Input;
        const char* Protocols;
        const char* Formats;
    };
    static const Scheme schemes[] = {
        {"udp://", LiveSourceKind::Udp, "mpegts", "udp", "mpegts"},
        {"rtp://", LiveSourceKind::Rtp, "", "rtp,udp", "rtp"},
        {"srt://", LiveSourceKind::Srt, "mpegts", "srt", "mpegts"},
        {"rtmp://", LiveSourceKind::Rtmp, "", "rtmp,tcp", "flv,live_flv"},
        {"rtsp://", LiveSourceKind::Rtsp, "rtsp", "rtsp,rtp,udp,tcp", "rtsp"},
    };
    std::string problem;
    for (const Scheme& scheme : schemes) {
        if (!StartsWith(lower, scheme.Prefix)) continue;
        address.Kind = scheme.Kind;
        const std::size_t length = std::strlen(scheme.Prefix);
        const std::string normal = std::string(scheme.Prefix) + text.substr(length);
        if (!ParseNetworkUrl(normal, length, address, &problem))
            return Fail(why, "The " + std::string(LiveSourceKindName(scheme.Kind)) + " " + text + " " + problem);
        address.Text = text;
        address.InputFormat = scheme.Input;
        address.ProtocolWhitelist = scheme.Protocols;
        address.FormatWhitelist = scheme.Formats;
        return true;
    }
    if (StartsWith(lower, "v4l2:")) {
        address.Kind = LiveSourceKind::Device;
        if (!ParseDevice(text.substr(5), address, &problem))
            return Fail(why, "The V4L2 device " + text + " " + problem);
        return true;
    }
    if (StartsWith(lower, "desktop:")) {
        address.Kind = LiveSourceKind::Desktop;
        if (!ParseDesktop(text.substr(8), environment, address, &problem))
            return Fail(why, "The part of the desktop " + text + " " + problem);
        return true;
    }
    return Fail(why, "The source " + text +
                         " is not a live source: use v4l2:/dev/videoN, srt://, rtmp://, rtsp://, udp://, rtp:// or "
                         "desktop:SCREEN[,X,Y,W,H]");
}

}  // namespace tesselink
