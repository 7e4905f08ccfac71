#pragma once
// A JSON reader that builds nothing: the caller walks the text value by value
// and keeps what it needs. Nesting is bounded, so no file can exhaust the
// stack, and a failure names the line and column where the text went wrong.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace spinlog {

class JsonReader {
public:
    // place names the text in messages when it is itself a string of another
    // text ("properties.sessionData"); empty for a file.
    explicit JsonReader(QByteArrayView text, QString place = {})
        : s_(text), place_(std::move(place))
    {
    }

    static constexpr int kMaxDepth = 32;

    // The next character after white space; 0 at the end.
    char peek();
    void expect(char c);
    // Takes c when it comes next.
    bool take(char c);
    // After the last value: only white space may follow.
    void expectEnd();

    // A string's value as UTF-8 (escapes resolved; other bytes as they are).
    QByteArray readString();
    double readNumber();
    // Any value, nested no deeper than depth allows.
    void skipValue(int depth = 0);

    // Within an object: the next key, after "{" or ","; false at "}".
    bool nextKey(QByteArray &key, bool &first);
    // Within an array: true while another value follows.
    bool nextItem(bool &first);

    [[noreturn]] void fail(const QString &what) const;

    // Where the reader is, and a return there: a value is read again later.
    qsizetype position() const { return i_; }
    void seek(qsizetype position) { i_ = position; }

private:
    void skipSpace();
    void skipString();
    unsigned hex4();

    QByteArrayView s_;
    qsizetype i_ = 0;
    QString place_;
};

}  // namespace spinlog
