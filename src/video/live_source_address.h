// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The address of a live source as --source takes it, checked before anything is opened: a capture
// device, a network stream of one of a few kinds, or a part of an X11 desktop. Each kind says which
// FFmpeg input format reads it and which protocols (and demuxers) it may use, so that an address
// can never make FFmpeg read a file, a playlist or another protocol.

#include <cstddef>
#include <string>

namespace tesselink {

enum class LiveSourceKind { Device, Srt, Rtmp, Rtsp, Udp, Rtp, Desktop };

struct LiveSourceAddress {
    LiveSourceKind Kind = LiveSourceKind::Udp;
    std::string Text;               // as given, for messages and the "No signal" card
    std::string Url;                // what FFmpeg opens: the URL, the device path, or the X display
    std::string InputFormat;        // the demuxer or device forced for the kind; empty: probed
    std::string ProtocolWhitelist;  // FFmpeg's protocol_whitelist for the kind
    std::string FormatWhitelist;    // FFmpeg's format_whitelist for the kind
    // desktop: the captured rectangle in screen pixels; without one the whole screen.
    bool HasRectangle = false;
    int X = 0, Y = 0, Width = 0, Height = 0;
};

// What the address rule needs to know about the session: the X display and the Wayland socket.
struct LiveSourceEnvironment {
    std::string Display;         // $DISPLAY
    std::string WaylandDisplay;  // $WAYLAND_DISPLAY
    static LiveSourceEnvironment Current();
};

// The longest address taken, in bytes.
constexpr std::size_t MaxLiveSourceAddressLength = 2048;

// Parses SOURCE: `v4l2:/dev/...`, `srt://`, `rtmp://`, `rtsp://`, `udp://`, `rtp://` URLs, or
// `desktop:SCREEN[,X,Y,W,H]` where SCREEN is a screen number on $DISPLAY or a local display
// `:D[.S]`. False, with the reason in `why`, for anything else.
bool ParseLiveSourceAddress(const std::string& text, const LiveSourceEnvironment& environment,
                            LiveSourceAddress& address, std::string* why);

// The kind in a few words for messages: "V4L2 device", "SRT stream", "part of the desktop", ...
const char* LiveSourceKindName(LiveSourceKind kind);

}  // namespace tesselink
