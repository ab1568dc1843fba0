// Stored strings and files are bytes. What is valid UTF-8 is shown as UTF-8; anything else is
// shown as Latin-1, which maps every byte to one character and back, so whatever the person did
// not edit is written back byte for byte. The rule applies per string (form fields) or per file
// (the text viewer).
//
// Threads: any thread; EditorText only on the interface thread (it touches a QTextDocument).
#pragma once

#include <QString>
#include <optional>
#include <string>
#include <string_view>

class QTextDocument;

namespace fw {

enum class TextEncoding
{
    Utf8,
    Latin1
};

TextEncoding EncodingOf(std::string_view bytes);
QString ShowBytes(std::string_view bytes);
// The bytes of text in the given encoding; none when Latin-1 cannot hold a character.
std::optional<std::string> EncodeText(const QString& text, TextEncoding encoding);
// The bytes of a field that was shown from shownFrom: those very bytes while the text is
// unchanged, else the text in shownFrom's encoding, or UTF-8 when Latin-1 cannot hold it.
std::string StoreText(const QString& text, std::string_view shownFrom);

// The text of a QTextDocument box. The box would change some characters on the way in and
// out (line breaks of every kind, carriage returns, no-break spaces, frame marks); they are
// carried through it as private characters and CR LF files keep CR LF, so that an unedited
// text reads back as the bytes it was shown from.
class EditorText
{
public:
    void Show(QTextDocument& document, std::string_view bytes);
    // The box's text in the encoding it was shown in; none when that cannot hold a character
    // typed since (only Latin-1 can fail).
    std::optional<std::string> Read(const QTextDocument& document) const;
    // Read for a form field: falls back to UTF-8 for a character Latin-1 cannot hold.
    std::string ReadField(const QTextDocument& document) const;
    TextEncoding Encoding() const { return m_encoding; }

private:
    QString RawText(const QTextDocument& document) const;

    TextEncoding m_encoding = TextEncoding::Utf8;
    bool m_crlf = false;
    // Stand-ins for the characters the box changes; each is one the text did not hold.
    QString m_from;
    QString m_marks;
};

} // namespace fw
