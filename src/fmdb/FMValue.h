#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>

#include <cstddef>
#include <variant>

// One value bound to a statement parameter or read from a column: nothing (nil), the null
// marker, bytes, a date, a number that keeps its storage type code, or text. Numbers keep the
// code of the C++ type they were made from ('c' signed 8-bit and bool, 'C', 's', 'S', 'i',
// 'I', 'q' signed 64-bit and long, 'Q', 'f' float, 'd' double), which decides how they are
// bound. The constructors are implicit on purpose, so that values can be listed as they are:
// db->executeUpdate(sql, 42, u"text"_s, QByteArray(...)).
class FMValue final
{
public:
    enum class Kind { Nil, Null, Bytes, Date, Number, Text };

    FMValue() = default;
    FMValue(std::nullptr_t) {}
    FMValue(bool value) : m_value(Number{'c', value ? 1 : 0, 0.0}) {}
    FMValue(char value) : m_value(Number{'c', value, 0.0}) {}
    FMValue(signed char value) : m_value(Number{'c', value, 0.0}) {}
    FMValue(unsigned char value) : m_value(Number{'C', value, 0.0}) {}
    FMValue(short value) : m_value(Number{'s', value, 0.0}) {}
    FMValue(unsigned short value) : m_value(Number{'S', value, 0.0}) {}
    FMValue(int value) : m_value(Number{'i', value, 0.0}) {}
    FMValue(unsigned int value) : m_value(Number{'I', value, 0.0}) {}
    FMValue(long value) : m_value(Number{'q', value, 0.0}) {}
    FMValue(unsigned long value) : m_value(Number{'Q', static_cast<qint64>(value), 0.0}) {}
    FMValue(long long value) : m_value(Number{'q', value, 0.0}) {}
    FMValue(unsigned long long value) : m_value(Number{'Q', static_cast<qint64>(value), 0.0}) {}
    FMValue(float value) : m_value(Number{'f', 0, value}) {}
    FMValue(double value) : m_value(Number{'d', 0, value}) {}
    FMValue(const QString &text) : m_value(text) {}
    FMValue(const char *utf8Text);
    FMValue(const QByteArray &bytes) : m_value(bytes) {}
    FMValue(const QDateTime &date) : m_value(date) {}

    // The null marker: an explicit SQL NULL, as opposed to nil.
    static FMValue null();

    Kind kind() const { return static_cast<Kind>(m_value.index()); }
    bool isNil() const { return kind() == Kind::Nil; }
    bool isNullMarker() const { return kind() == Kind::Null; }
    bool isRealNumber() const;

    // The storage type code of a number, 0 for anything else.
    char numberType() const;

    // Numbers as the asked type (a real number is truncated, an integer widened); anything
    // else gives 0.
    qint64 toLongLong() const;
    quint64 toULongLong() const;
    double toDouble() const;
    // The text of a text value, null otherwise.
    QString text() const;
    // The bytes of a bytes value, null otherwise.
    QByteArray bytes() const;
    // The date of a date value, invalid otherwise.
    QDateTime date() const;

    // Readable form for log lines: "(null)" for nil, "<null>" for the null marker, bytes in
    // hexadecimal between angle brackets, dates in ISO form, numbers and text as they are.
    QString description() const;

    // Same kind and same content; numbers also need the same storage type code.
    bool operator==(const FMValue &other) const;

private:
    struct NullMarker
    {
        bool operator==(const NullMarker &) const = default;
    };
    struct Number
    {
        char type = 0;
        qint64 integer = 0;
        double real = 0.0;
        bool operator==(const Number &) const = default;
    };

    // The order of the alternatives follows Kind.
    std::variant<std::monostate, NullMarker, QByteArray, QDateTime, Number, QString> m_value;
};

using FMValueList = QList<FMValue>;
// Named parameters: the name without its leading colon to the value.
using FMParameterDictionary = QMap<QString, FMValue>;
