#include "core/apperror.h"
#include "core/configfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class TestConfigFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path() const { return m_dir.filePath("config.xml"); }

private slots:
    void init()
    {
        for (const QString &name : QDir(m_dir.path()).entryList(QDir::Files))
            QFile::remove(m_dir.filePath(name));
    }

    void missingFileGivesAFreshRoot()
    {
        ConfigFile config(path());
        QCOMPARE(config.load(), ConfigFile::LoadResult::Missing);
        QCOMPARE(QString::fromUtf8(config.root().name()), QString("tarvel_terminal"));
        QVERIFY(!config.root().first_child());
        QVERIFY(!QFile::exists(path()));
    }

    void loadsAndSavesTheTree()
    {
        writeFile(path(), "<?xml version=\"1.0\"?><tarvel_terminal top=\"5\"><connection "
                          "type=\"tcp\"/></tarvel_terminal>");
        ConfigFile config(path());
        QCOMPARE(config.load(), ConfigFile::LoadResult::Loaded);
        QCOMPARE(config.root().attribute("top").as_int(), 5);
        // Looking up a missing child creates it at the end; an existing one is reused.
        config.child("language").append_attribute("lngFileName") = "x";
        QCOMPARE(config.child("language").attribute("lngFileName").value(), std::string("x"));
        config.save();

        ConfigFile again(path());
        QCOMPARE(again.load(), ConfigFile::LoadResult::Loaded);
        QCOMPARE(std::string(again.root().last_child().name()), std::string("language"));
        QCOMPARE(std::string(again.root().first_child().name()), std::string("connection"));
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), QStringList{"config.xml"});
    }

    // A file that cannot be parsed is moved aside, never overwritten.
    void unreadableFileIsKeptAside()
    {
        const QByteArray broken = "<tarvel_terminal><connection status=\"ok\"></tarvel_terminal>";
        writeFile(path(), broken);
        ConfigFile config(path());
        QCOMPARE(config.load(), ConfigFile::LoadResult::Unreadable);
        QVERIFY(!config.errorMessage().isEmpty());
        QVERIFY(config.keptAs().startsWith(path() + ".unreadable-"));
        QCOMPARE(readFile(config.keptAs()), broken);
        QVERIFY(!config.root().first_child());

        config.save();
        QCOMPARE(readFile(config.keptAs()), broken);
        QVERIFY(readFile(path()).contains("<tarvel_terminal"));
    }

    void saveFailureThrows()
    {
        ConfigFile config(m_dir.filePath("no/such/folder/config.xml"));
        config.load();
        QVERIFY_THROWS_EXCEPTION(AppError, config.save());
    }
};

QTEST_GUILESS_MAIN(TestConfigFile)
#include "tst_configfile.moc"
