#include "core/apperror.h"
#include "core/xmlattribute.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestXmlAttribute : public QObject
{
    Q_OBJECT

    pugi::xml_document m_document;

private slots:
    void initTestCase()
    {
        QVERIFY(m_document.load_string(
            R"(<root><node name="Žluťoučký" time="45678,25" empty=""/></root>)"));
    }

    void readsPresentAttribute()
    {
        const pugi::xml_node node = m_document.child("root").child("node");
        QCOMPARE(ReadAttribute(node, "name", 0).toString(), u"Žluťoučký"_s);
        QCOMPARE(ReadAttribute(node, "empty", u"x"_s).toString(), QString());
    }

    void missingYieldsDefaultWithItsType_data()
    {
        QTest::addColumn<bool>("elementPresent");
        QTest::addColumn<QVariant>("defaultValue");
        QTest::newRow("missing attribute, number") << true << QVariant(19200);
        QTest::newRow("missing attribute, boolean") << true << QVariant(true);
        QTest::newRow("absent element, text") << false << QVariant(u"COM1"_s);
    }
    void missingYieldsDefaultWithItsType()
    {
        QFETCH(bool, elementPresent);
        QFETCH(QVariant, defaultValue);
        const pugi::xml_node node =
            elementPresent ? m_document.child("root").child("node") : m_document.child("nothing");
        const QVariant value = ReadAttribute(node, "absent", defaultValue);
        QCOMPARE(value, defaultValue);
        QCOMPARE(value.metaType(), defaultValue.metaType());
    }

    void unassignedAndNullDefaultsThrow_data()
    {
        QTest::addColumn<QVariant>("defaultValue");
        QTest::addColumn<QString>("message");
        QTest::newRow("unassigned") << QVariant() << u"Variant is Empty !!!! ***"_s;
        QTest::newRow("null") << QVariant::fromValue(nullptr) << u"Variant is Null !!!! ***"_s;
    }
    void unassignedAndNullDefaultsThrow()
    {
        QFETCH(QVariant, defaultValue);
        QFETCH(QString, message);
        try {
            (void)ReadAttribute(m_document.child("root"), "absent", defaultValue);
            QFAIL("no exception");
        } catch (const AppError &error) {
            QCOMPARE(error.message(), message);
        }
        // A present attribute never looks at the default.
        QCOMPARE(
            ReadAttribute(m_document.child("root").child("node"), "time", defaultValue).toString(),
            u"45678,25"_s);
    }

    void fixDecimalSeparator_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<QString>("fixed");
        QTest::newRow("to comma") << u"45678.25"_s << QChar(u',') << u"45678,25"_s;
        QTest::newRow("to point") << u"45678,25"_s << QChar(u'.') << u"45678.25"_s;
        QTest::newRow("other separator") << u"1.5,2"_s << QChar(u'·') << u"1.5,2"_s;
    }
    void fixDecimalSeparator()
    {
        QFETCH(QString, text);
        QFETCH(QChar, separator);
        QFETCH(QString, fixed);
        QCOMPARE(FixDecimalSeparator(text, separator), fixed);
    }

    void fixDecimalFlagFollowsTheLocale()
    {
        const pugi::xml_node node = m_document.child("root").child("node");
        const QVariant value = ReadAttribute(node, "time", 0.0, true);
        QCOMPARE(value.metaType(), QMetaType::fromType<QString>());
        QCOMPARE(value.toString(), FixDecimalSeparator(u"45678,25"_s));
        QCOMPARE(ReadAttribute(node, "absent", 1.5, true).toString(),
                 FixDecimalSeparator(u"1.5"_s));
    }

    void conversions_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("asBool"); // -1: conversion error
        QTest::addColumn<int>("asInt");  // INT_MIN: conversion error
        const int bad = std::numeric_limits<int>::min();
        QTest::newRow("True") << QVariant(u"True"_s) << 1 << bad;
        QTest::newRow("fALSE") << QVariant(u"fALSE"_s) << 0 << bad;
        QTest::newRow("0") << QVariant(u"0"_s) << 0 << 0;
        QTest::newRow("-3") << QVariant(u"-3"_s) << 1 << -3;
        QTest::newRow("number default") << QVariant(183) << 1 << 183;
        QTest::newRow("yes") << QVariant(u"yes"_s) << -1 << bad;
        QTest::newRow("empty") << QVariant(QString()) << -1 << bad;
        QTest::newRow("12px") << QVariant(u"12px"_s) << -1 << bad;
    }
    void conversions()
    {
        QFETCH(QVariant, value);
        QFETCH(int, asBool);
        QFETCH(int, asInt);
        if (asBool < 0)
            QVERIFY_THROWS_EXCEPTION(ConversionError, (void)VariantToBool(value));
        else
            QCOMPARE(VariantToBool(value), asBool == 1);
        if (asInt == std::numeric_limits<int>::min())
            QVERIFY_THROWS_EXCEPTION(ConversionError, (void)VariantToInt(value));
        else
            QCOMPARE(VariantToInt(value), asInt);
    }
};

QTEST_GUILESS_MAIN(TestXmlAttribute)
#include "tst_xmlattribute.moc"
