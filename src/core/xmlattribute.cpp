#include "xmlattribute.h"

#include "apperror.h"

#include <QLocale>

QVariant ReadAttribute(const pugi::xml_node &element, const char *name,
                       const QVariant &defaultValue, bool fixDecimal)
{
    QVariant value = defaultValue;
    if (element) {
        if (const pugi::xml_attribute attribute = element.attribute(name))
            value = QString::fromUtf8(attribute.value());
    }
    if (fixDecimal && value.isValid() && !value.isNull())
        value = FixDecimalSeparator(value.toString());
    if (!value.isValid())
        throw AppError(QStringLiteral("Variant is Empty !!!! ***"));
    if (value.isNull())
        throw AppError(QStringLiteral("Variant is Null !!!! ***"));
    return value;
}

QString FixDecimalSeparator(const QString &text)
{
    const QString separator = QLocale::system().decimalPoint();
    return FixDecimalSeparator(text, separator.size() == 1 ? separator.front() : QChar());
}

QString FixDecimalSeparator(const QString &text, QChar decimalSeparator)
{
    QString fixed = text;
    if (decimalSeparator == u',')
        fixed.replace(u'.', u',');
    else if (decimalSeparator == u'.')
        fixed.replace(u',', u'.');
    return fixed;
}

int VariantToInt(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<int>())
        return value.toInt();
    const QString text = value.toString();
    bool ok = false;
    const int number = text.trimmed().toInt(&ok);
    if (!ok)
        throw ConversionError::invalidInteger(text);
    return number;
}

bool VariantToBool(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<bool>())
        return value.toBool();
    const QString text = value.toString().trimmed();
    if (text.compare(u"true", Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(u"false", Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const qlonglong number = text.toLongLong(&ok);
    if (!ok)
        throw ConversionError(QStringLiteral("'%1' is not a valid boolean value").arg(text));
    return number != 0;
}

void WriteAttribute(pugi::xml_node node, const char *name, const QString &value)
{
    pugi::xml_attribute attribute = node.attribute(name);
    if (!attribute)
        attribute = node.append_attribute(name);
    attribute.set_value(value.toUtf8().constData());
}

void WriteAttribute(pugi::xml_node node, const char *name, int value)
{
    WriteAttribute(node, name, QString::number(value));
}

void WriteAttribute(pugi::xml_node node, const char *name, bool value)
{
    WriteAttribute(node, name, QString::fromLatin1(BoolToText(value)));
}
