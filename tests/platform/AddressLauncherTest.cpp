// The desktop opener runs without blocking the window, and its outcome comes
// back once: failure when it cannot start, crashes or ends with a failure
// status.
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <optional>

#include "platform/AddressLauncher.h"

namespace korva::platform {
namespace {

struct Outcome {
    int calls = 0;
    std::optional<bool> opened;
};

Outcome Launch(const QString& program, const QString& address) {
    Outcome outcome;
    QEventLoop loop;
    LaunchAddress(program, address, [&](bool opened) {
        ++outcome.calls;
        outcome.opened = opened;
        loop.quit();
    });
    if (!outcome.opened) {
        QTimer::singleShot(20000, &loop, &QEventLoop::quit);  // a limit, never reached when all is well
        loop.exec();
    }
    QCoreApplication::processEvents();
    return outcome;
}

QString WriteScript(const QTemporaryDir& dir, const QString& name, const QByteArray& body) {
    QFile file(dir.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n" + body + "\n");
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return file.fileName();
}

TEST(AddressLauncher, ReportsEveryOutcomeOnceAndPassesTheAddressAsOneUrl) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString web = QStringLiteral("https://example.org/korva/");
    const struct {
        QString program;
        bool opened;
    } cases[] = {
        {QStringLiteral("true"), true},
        {QStringLiteral("false"), false},
        {WriteScript(dir, QStringLiteral("no-browser"), "exit 3"), false},
        {WriteScript(dir, QStringLiteral("crashes"), "kill -KILL $$"), false},
        {dir.filePath(QStringLiteral("missing-opener")), false},
    };
    for (const auto& c : cases) {
        const Outcome outcome = Launch(c.program, web);
        EXPECT_EQ(outcome.calls, 1) << c.program.toStdString();
        EXPECT_EQ(outcome.opened, c.opened) << c.program.toStdString();
    }

    const QString recorder = WriteScript(dir, QStringLiteral("recorder"), R"(printf '%s|%s' "$#" "$1" > "$0.txt")");
    const std::pair<QString, QString> addresses[] = {
        {web, web},
        {QStringLiteral("mailto:korva@example.org"), QStringLiteral("mailto:korva@example.org")},
        {QStringLiteral("/opt/korva/help/index.html"), QStringLiteral("file:///opt/korva/help/index.html")},
        {QStringLiteral("/opt/コルバ/-a b.html"),
         QStringLiteral("file:///opt/%E3%82%B3%E3%83%AB%E3%83%90/-a%20b.html")},
    };
    for (const auto& [address, argument] : addresses) {
        EXPECT_EQ(Launch(recorder, address).opened, true);
        QFile record(recorder + QStringLiteral(".txt"));
        ASSERT_TRUE(record.open(QIODevice::ReadOnly));
        EXPECT_EQ(QString::fromUtf8(record.readAll()), QStringLiteral("1|") + argument);
    }
}

}  // namespace
}  // namespace korva::platform
