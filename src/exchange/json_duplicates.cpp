// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/json_duplicates.h"

#include <QSet>
#include <QString>

namespace tesselink {
namespace {

// A walk over text that is already known to be JSON: it only needs to find names and nesting,
// but stays inside the buffer whatever it holds.
class Walker {
public:
    explicit Walker(const QByteArray& json) : p_(json.constData()), end_(json.constData() + json.size()) {}

    std::optional<ExchangeProblem> Found() {
        Value(std::string());
        return found_;
    }

private:
    char Peek() const { return p_ < end_ ? *p_ : '\0'; }

    void Blanks() {
        while (p_ < end_ && (*p_ == ' ' || *p_ == '\t' || *p_ == '\n' || *p_ == '\r')) {
            if (*p_ == '\n') ++line_;
            ++p_;
        }
    }

    static int HexDigit(char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return 0;
    }

    // At the opening quote: the string's text, escapes decoded, and past its closing quote.
    QString String() {
        QString out;
        ++p_;
        const char* run = p_;
        while (p_ < end_ && *p_ != '"') {
            if (*p_ != '\\') {
                ++p_;
                continue;
            }
            out += QString::fromUtf8(run, static_cast<qsizetype>(p_ - run));
            ++p_;
            const char e = Peek();
            if (p_ < end_) ++p_;
            switch (e) {
            case 'b': out += QChar('\b'); break;
            case 'f': out += QChar('\f'); break;
            case 'n': out += QChar('\n'); break;
            case 'r': out += QChar('\r'); break;
            case 't': out += QChar('\t'); break;
            case 'u': {
                unsigned unit = 0;
                for (int i = 0; i < 4 && p_ < end_; ++i, ++p_) unit = unit * 16 + static_cast<unsigned>(HexDigit(*p_));
                out += QChar(static_cast<char16_t>(unit));
                break;
            }
            default: out += QChar::fromLatin1(e); break;  // \" \\ \/
            }
            run = p_;
        }
        out += QString::fromUtf8(run, static_cast<qsizetype>(p_ - run));
        if (p_ < end_) ++p_;
        return out;
    }

    // One value at `place`; false once a duplicate has been found (the walk stops).
    bool Value(const std::string& place) {
        Blanks();
        switch (Peek()) {
        case '{': return Object(place);
        case '[': return Array(place);
        case '"': String(); return true;
        default:
            while (p_ < end_ && *p_ != ',' && *p_ != ']' && *p_ != '}' && *p_ != ' ' && *p_ != '\n' && *p_ != '\t' &&
                   *p_ != '\r')
                ++p_;
            return true;
        }
    }

    bool Object(const std::string& place) {
        ++p_;
        QSet<QString> names;
        for (;;) {
            Blanks();
            if (Peek() != '"') break;  // '}' of an empty object, or the end
            const int nameLine = line_;
            const QString name = String();
            const std::string shown = EscapedValue(name.toStdString());
            if (names.contains(name)) {
                found_ = ExchangeProblem{nameLine, place,
                                         "the member " + QuotedValue(name.toStdString()) + " is given twice"};
                return false;
            }
            names.insert(name);
            Blanks();
            if (Peek() == ':') ++p_;
            if (!Value(place.empty() ? shown : place + "." + shown)) return false;
            Blanks();
            if (Peek() != ',') break;
            ++p_;
        }
        if (Peek() == '}') ++p_;
        return true;
    }

    bool Array(const std::string& place) {
        ++p_;
        for (int index = 0;; ++index) {
            Blanks();
            if (Peek() == ']' || p_ >= end_) break;
            if (!Value(place + "[" + std::to_string(index) + "]")) return false;
            Blanks();
            if (Peek() != ',') break;
            ++p_;
        }
        if (Peek() == ']') ++p_;
        return true;
    }

    const char* p_;
    const char* const end_;
    int line_ = 1;
    std::optional<ExchangeProblem> found_;
};

}  // namespace

std::optional<ExchangeProblem> FindDuplicateJsonMember(const QByteArray& json) { return Walker(json).Found(); }

}  // namespace tesselink
