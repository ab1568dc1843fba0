#include "fw/ByteText.h"

#include <QStringDecoder>
#include <QTextDocument>

namespace fw {

namespace {

constexpr char16_t kBlockBreak = 0x2029;

QString DecodeUtf8(std::string_view bytes, bool* valid)
{
    // A byte order mark stays a character so that it is written back.
    // Stateless: a sequence cut off at the end is an error, not input held back for more.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                     QStringDecoder::Flag::ConvertInitialBom);
    QString text =
        decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    *valid = !decoder.hasError();
    return text;
}

} // namespace

TextEncoding EncodingOf(std::string_view bytes)
{
    bool valid = false;
    DecodeUtf8(bytes, &valid);
    return valid ? TextEncoding::Utf8 : TextEncoding::Latin1;
}

QString ShowBytes(std::string_view bytes)
{
    bool valid = false;
    QString text = DecodeUtf8(bytes, &valid);
    if (valid) {
        return text;
    }
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::optional<std::string> EncodeText(const QString& text, TextEncoding encoding)
{
    if (encoding == TextEncoding::Utf8) {
        return text.toUtf8().toStdString();
    }
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (const QChar c : text) {
        if (c.unicode() > 0xFF) {
            return std::nullopt;
        }
        bytes.push_back(static_cast<char>(c.unicode()));
    }
    return bytes;
}

std::string StoreText(const QString& text, std::string_view shownFrom)
{
    if (text == ShowBytes(shownFrom)) {
        return std::string(shownFrom);
    }
    if (auto bytes = EncodeText(text, EncodingOf(shownFrom))) {
        return *std::move(bytes);
    }
    return text.toUtf8().toStdString();
}

void EditorText::Show(QTextDocument& document, std::string_view bytes)
{
    m_encoding = EncodingOf(bytes);
    QString text = ShowBytes(bytes);
    const qsizetype pairs = text.count(QStringLiteral("\r\n"));
    m_crlf = pairs > 0 && pairs == text.count(QLatin1Char('\n'));
    if (m_crlf) {
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    }
    // What the box would turn into a line break or drop: a lone CR, the line and block
    // separators, the frame marks. Latin-1 text never holds a private character, so its
    // stand-ins are fixed; other text gets the first private characters it does not hold.
    static const QString kChanged = QStringLiteral(u"\r\u2028\u2029\uFDD0\uFDD1");
    m_from.clear();
    m_marks.clear();
    char16_t mark = 0xE000;
    for (const QChar c : kChanged) {
        if (!text.contains(c)) {
            continue;
        }
        while (text.contains(QChar(mark))) {
            ++mark;
        }
        m_from += c;
        m_marks += QChar(mark);
        text.replace(c, QChar(mark));
        ++mark;
    }
    text.replace(QLatin1Char('\n'), QChar(kBlockBreak));
    document.setPlainText(text);
}

QString EditorText::RawText(const QTextDocument& document) const
{
    // toPlainText would turn no-break spaces into spaces; the raw text keeps every character.
    QString text = document.toRawText();
    text.replace(QChar(kBlockBreak), m_crlf ? QStringLiteral("\r\n") : QStringLiteral("\n"));
    for (qsizetype i = 0; i < m_marks.size(); ++i) {
        text.replace(m_marks[i], m_from[i]);
    }
    return text;
}

std::optional<std::string> EditorText::Read(const QTextDocument& document) const
{
    return EncodeText(RawText(document), m_encoding);
}

std::string EditorText::ReadField(const QTextDocument& document) const
{
    const QString text = RawText(document);
    if (auto bytes = EncodeText(text, m_encoding)) {
        return *std::move(bytes);
    }
    return text.toUtf8().toStdString();
}

} // namespace fw
