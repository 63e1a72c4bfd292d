#include "tests/cli/CommandLineTest.h"

#include <QDateTime>

#include <sys/stat.h>

// Failures show the document as text.
inline void PrintTo(const QJsonObject& object, std::ostream* out) {
    *out << QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
}

namespace foldwise::test {
namespace {

// Every field of every JSON document the commands print, on folders whose counts all differ from each
// other, so that a field filled from another count shows.
class JsonDocuments : public CommandLineTest {
protected:
    using Entries = std::set<std::string>;

    // The document without its arrays, which come back through entriesOf.
    static QJsonObject scalarsOf(QJsonObject document) {
        for (const QString& key : document.keys()) {
            if (document.value(key).isArray()) {
                document.remove(key);
            }
        }
        return document;
    }

    // Each entry of the array `key` as its fields in one line: "count=2 name=Images".
    static Entries entriesOf(const QJsonObject& document, const char* key) {
        Entries entries;
        for (const QJsonValue& value : document.value(QString::fromLatin1(key)).toArray()) {
            std::string line;
            const QJsonObject entry = value.toObject();
            for (const QString& field : entry.keys()) {
                line += (line.empty() ? "" : " ") + field.toStdString() + "=" +
                        entry.value(field).toVariant().toString().toStdString();
            }
            entries.insert(line);
        }
        return entries;
    }

    QJsonObject common(const char* command, bool dryRun) const {
        return {{QStringLiteral("command"), QString::fromLatin1(command)},
                {QStringLiteral("dryRun"), dryRun},
                {QStringLiteral("input"), QString::fromStdString(input.string())},
                {QStringLiteral("output"), QString::fromStdString(output.string())},
                {QStringLiteral("failure"), QJsonValue()}};
    }

    // `object` with `fields` added, and those of `more`.
    static QJsonObject with(QJsonObject object, std::initializer_list<std::pair<const char*, QJsonValue>> fields,
                            const QJsonObject& more = {}) {
        for (const auto& [key, value] : fields) {
            object.insert(QString::fromLatin1(key), value);
        }
        for (auto field = more.begin(); field != more.end(); ++field) {
            object.insert(field.key(), field.value());
        }
        return object;
    }
};

TEST_F(JsonDocuments, SortUndoAndHistoryGiveEachCountInItsOwnField) {
    // Moved 7 into 5 folders; names taken 2, one of them by an identical file; not regular 3; where
    // "Code" is a file 4; unfinished 6.
    addFiles({"a.jpg", "b.jpg", "taken1.jpg", "taken2.jpg", "m.mp3", "v.mp4", "z.zip", "n.txt", "c.pdf", "x.py", "y.c",
              "w.sh", "u.js", "1.part", "2.part", "3.crdownload", "4.crdownload", "~$5.docx", "~$6.docx"});
    for (const char* pipe : {"p1", "p2", "p3"}) {
        ASSERT_EQ(::mkfifo((input / pipe).c_str(), 0600), 0);
    }
    writeFile(makeFolder(output / "Images") / "taken1.jpg", "taken1.jpg");
    writeFile(output / "Images/taken2.jpg", "theirs");
    writeFile(output / "Code", "a file where the sub-folder belongs");
    const QJsonObject sortCounts{{QStringLiteral("nameTaken"), 2},
                                 {QStringLiteral("notRegular"), 3},
                                 {QStringLiteral("nameRefused"), 0},
                                 {QStringLiteral("tooLarge"), 0},
                                 {QStringLiteral("folderBlocked"), 4},
                                 {QStringLiteral("inUse"), 6},
                                 {QStringLiteral("renamed"), 0},
                                 {QStringLiteral("identical"), 1},
                                 {QStringLiteral("mode"), QStringLiteral("category")}};
    const Entries sortMoves{"name=a.jpg subFolder=Images",   "name=b.jpg subFolder=Images",
                            "name=m.mp3 subFolder=Audio",    "name=v.mp4 subFolder=Video",
                            "name=z.zip subFolder=Archives", "name=n.txt subFolder=Documents",
                            "name=c.pdf subFolder=Documents"};

    const QJsonObject plan = jsonOf(runFoldwise({"sort", input, output, "--dry-run", "--json"}));
    EXPECT_EQ(scalarsOf(plan), with(common("sort", true), {{"move", 7}, {"gone", 0}}, sortCounts));
    EXPECT_EQ(entriesOf(plan, "subFolders"),
              (Entries{"count=2 name=Images", "count=2 name=Documents", "count=1 name=Audio", "count=1 name=Video",
                       "count=1 name=Archives"}));
    Entries planned;
    for (const std::string& entry : entriesOf(plan, "files")) {
        if (entry.ends_with(" verdict=move")) {
            planned.insert(entry.substr(0, entry.size() - std::string(" verdict=move").size()));
        }
    }
    EXPECT_EQ(planned, sortMoves);
    EXPECT_EQ(entriesOf(plan, "files").size(), 22u);

    const QJsonObject sorted = jsonOf(runFoldwise({"sort", input, output, "--json"}));
    const QJsonObject expected = with(common("sort", false),
                                      {{"moved", 7},
                                       {"folders", 5},
                                       {"madeOutput", false},
                                       {"vanished", 0},
                                       {"notReached", 0},
                                       {"keptBoth", 0},
                                       {"cancelled", false},
                                       {"complete", true}},
                                      sortCounts);
    EXPECT_EQ(scalarsOf(sorted), expected);
    EXPECT_EQ(entriesOf(sorted, "files"), sortMoves);
    EXPECT_EQ(entriesOf(sorted, "stayed").size(), 15u);
    EXPECT_TRUE(
        entriesOf(sorted, "stayed").contains("identical=true name=taken1.jpg reason=nameTaken subFolder=Images"));

    // Brought back 4 from 3 folders; a name taken in the input 1; no longer there 2.
    fs::remove(output / "Video/v.mp4");
    fs::remove(output / "Archives/z.zip");
    writeFile(input / "n.txt", "a new n.txt");
    const QJsonObject undoCounts{{QStringLiteral("nameTaken"), 1},  {QStringLiteral("gone"), 2},
                                 {QStringLiteral("notRegular"), 0}, {QStringLiteral("nameRefused"), 0},
                                 {QStringLiteral("tooLarge"), 0},   {QStringLiteral("folderBlocked"), 0},
                                 {QStringLiteral("inUse"), 0},      {QStringLiteral("nothingOnRecord"), false}};
    const QJsonObject planBack = jsonOf(runFoldwise({"undo", input, output, "--dry-run", "--json"}));
    EXPECT_EQ(scalarsOf(planBack), with(common("undo", true), {{"move", 4}}, undoCounts));
    EXPECT_EQ(entriesOf(planBack, "subFolders"),
              (Entries{"count=2 name=Images", "count=1 name=Documents", "count=1 name=Audio"}));

    const QJsonObject undone = jsonOf(runFoldwise({"undo", input, output, "--json"}));
    const QJsonObject undoExpected = with(common("undo", false),
                                          {{"moved", 4},
                                           {"folders", 3},
                                           {"inputWatched", false},
                                           {"vanished", 0},
                                           {"notReached", 0},
                                           {"keptBoth", 0},
                                           {"cancelled", false},
                                           {"complete", true}},
                                          undoCounts);
    EXPECT_EQ(scalarsOf(undone), undoExpected);
    EXPECT_EQ(entriesOf(undone, "files"), (Entries{"name=a.jpg subFolder=Images", "name=b.jpg subFolder=Images",
                                                   "name=m.mp3 subFolder=Audio", "name=c.pdf subFolder=Documents"}));

    const QJsonObject listed = jsonOf(runFoldwise({"history", "--json"}));
    EXPECT_EQ(listed.value(QStringLiteral("command")).toString(), QStringLiteral("history"));
    const QJsonArray runs = listed.value(QStringLiteral("runs")).toArray();
    ASSERT_EQ(runs.size(), 2);
    const auto runWithout = [](QJsonObject run, std::int64_t& id) {
        EXPECT_EQ(run.value(QStringLiteral("started")).toString(),
                  QDateTime::fromMSecsSinceEpoch(run.value(QStringLiteral("startedMs")).toInteger(), Qt::UTC)
                      .toString(Qt::ISODateWithMs));
        id = run.value(QStringLiteral("id")).toInteger();
        for (const char* key : {"started", "startedMs", "id"}) {
            run.remove(QString::fromLatin1(key));
        }
        return run;
    };
    const QJsonObject folders{{QStringLiteral("input"), QString::fromStdString(input.string())},
                              {QStringLiteral("output"), QString::fromStdString(output.string())},
                              {QStringLiteral("failure"), QJsonValue()},
                              {QStringLiteral("vanished"), 0},
                              {QStringLiteral("notReached"), 0},
                              {QStringLiteral("state"), QStringLiteral("completed")}};
    std::int64_t undoId = 0; // a sort is undone only once all of its files are back: this one is not
    std::int64_t sortId = 0;
    EXPECT_EQ(runWithout(runs.at(0).toObject(), undoId), with(folders, {{"kind", QStringLiteral("undo")},
                                                                        {"mode", QJsonValue()},
                                                                        {"moved", 4},
                                                                        {"nameTaken", 1},
                                                                        {"notRegular", 0},
                                                                        {"gone", 2},
                                                                        {"undone", false}}));
    EXPECT_EQ(runWithout(runs.at(1).toObject(), sortId), with(folders, {{"kind", QStringLiteral("sort")},
                                                                        {"mode", QStringLiteral("category")},
                                                                        {"moved", 7},
                                                                        {"nameTaken", 2},
                                                                        {"notRegular", 3},
                                                                        {"gone", 0},
                                                                        {"undone", false}}));
    EXPECT_GT(undoId, sortId);
}

TEST_F(JsonDocuments, StatsGivesEachCountInItsOwnField) {
    for (const auto& [extension, count] : {std::pair{".txt", 6}, {".pdf", 1}, {".jpg", 3}, {".png", 2}, {".mp3", 4}}) {
        for (int index = 0; index < count; ++index) {
            writeFile(input / (std::to_string(index) + extension));
        }
    }
    const auto category = [](const char* name, int count) {
        return QJsonObject{{QStringLiteral("category"), QString::fromLatin1(name)}, {QStringLiteral("count"), count}};
    };
    const auto type = [](const char* name, int count) {
        return QJsonObject{{QStringLiteral("type"), QString::fromLatin1(name)}, {QStringLiteral("count"), count}};
    };

    const QJsonObject document = jsonOf(runFoldwise({"stats", input, "--top", "3", "--json"}));

    EXPECT_EQ(document,
              (QJsonObject{{QStringLiteral("command"), QStringLiteral("stats")},
                           {QStringLiteral("folder"), QString::fromStdString(input.string())},
                           {QStringLiteral("files"), 16},
                           {QStringLiteral("categories"),
                            QJsonArray{category("Documents", 7), category("Images", 5), category("Audio", 4)}},
                           {QStringLiteral("types"), QJsonArray{type("txt", 6), type("mp3", 4), type("jpg", 3)}},
                           {QStringLiteral("typesInAll"), 5},
                           {QStringLiteral("unreadableFolders"), QJsonArray{}}}));
}

} // namespace
} // namespace foldwise::test
