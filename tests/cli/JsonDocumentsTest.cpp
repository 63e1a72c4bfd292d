#include "tests/cli/CommandLineTest.h"

#include <QDateTime>

#include <sys/stat.h>

namespace foldwise::test {
namespace {

// Every field of every JSON document the commands print, on folders whose counts all differ from each
// other, so that a field filled from another count shows.
class JsonDocuments : public CommandLineTest {
protected:
    using Entries = std::set<std::string>;

    // The document's fields other than its arrays, as compact JSON (keys in order), the folders as IN and OUT.
    std::string scalarsOf(const QJsonObject& document) const {
        QJsonObject scalars;
        for (const QString& key : document.keys()) {
            if (!document.value(key).isArray()) {
                scalars.insert(key, document.value(key));
            }
        }
        std::string text = QJsonDocument(scalars).toJson(QJsonDocument::Compact).toStdString();
        for (const auto& [folder, name] : {std::pair{input.string(), "IN"}, {output.string(), "OUT"}}) {
            for (std::size_t at = 0; (at = text.find(folder, at)) != std::string::npos;) {
                text.replace(at, folder.size(), name);
            }
        }
        return text;
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
    const Entries moves{"name=a.jpg subFolder=Images",   "name=b.jpg subFolder=Images",
                        "name=m.mp3 subFolder=Audio",    "name=v.mp4 subFolder=Video",
                        "name=z.zip subFolder=Archives", "name=n.txt subFolder=Documents",
                        "name=c.pdf subFolder=Documents"};

    const QJsonObject plan = jsonOf(runFoldwise({"sort", input, output, "--dry-run", "--json"}));
    EXPECT_EQ(scalarsOf(plan), R"({"command":"sort","dryRun":true,"failure":null,"folderBlocked":4,"gone":0,)"
                               R"("identical":1,"inUse":6,"input":"IN","mode":"category","move":7,"nameRefused":0,)"
                               R"("nameTaken":2,"notRegular":3,"output":"OUT","renamed":0,"tooLarge":0})");
    EXPECT_EQ(entriesOf(plan, "subFolders"),
              (Entries{"count=2 name=Images", "count=2 name=Documents", "count=1 name=Audio", "count=1 name=Video",
                       "count=1 name=Archives"}));
    Entries planned;
    for (const std::string& entry : entriesOf(plan, "files")) {
        if (entry.ends_with(" verdict=move")) {
            planned.insert(entry.substr(0, entry.size() - std::string(" verdict=move").size()));
        }
    }
    EXPECT_EQ(planned, moves);
    EXPECT_EQ(entriesOf(plan, "files").size(), 22u);

    const QJsonObject sorted = jsonOf(runFoldwise({"sort", input, output, "--json"}));
    EXPECT_EQ(scalarsOf(sorted), R"({"cancelled":false,"command":"sort","complete":true,"dryRun":false,"failure":null,)"
                                 R"("folderBlocked":4,"folders":5,"identical":1,"inUse":6,"input":"IN",)"
                                 R"("keptBoth":0,"madeOutput":false,"mode":"category","moved":7,"nameRefused":0,)"
                                 R"("nameTaken":2,"notReached":0,"notRegular":3,"output":"OUT","renamed":0,)"
                                 R"("tooLarge":0,"vanished":0})");
    EXPECT_EQ(entriesOf(sorted, "files"), moves);
    EXPECT_EQ(entriesOf(sorted, "stayed").size(), 15u);
    EXPECT_TRUE(
        entriesOf(sorted, "stayed").contains("identical=true name=taken1.jpg reason=nameTaken subFolder=Images"));
    EXPECT_TRUE(entriesOf(sorted, "stayed").contains("name=x.py reason=folderBlocked subFolder=Code"));
    EXPECT_EQ(readFile(output / "Code"), "a file where the sub-folder belongs");

    // Brought back 4 from 3 folders; a name taken in the input 1; no longer there 2.
    fs::remove(output / "Video/v.mp4");
    fs::remove(output / "Archives/z.zip");
    writeFile(input / "n.txt", "a new n.txt");
    const QJsonObject planBack = jsonOf(runFoldwise({"undo", input, output, "--dry-run", "--json"}));
    EXPECT_EQ(scalarsOf(planBack),
              R"({"alreadyUndone":false,"command":"undo","dryRun":true,"failure":null,"folderBlocked":0,"gone":2,)"
              R"("inUse":0,"input":"IN","move":4,"nameRefused":0,"nameTaken":1,)"
              R"("notRegular":0,"nothingOnRecord":false,"output":"OUT","tooLarge":0})");
    EXPECT_EQ(entriesOf(planBack, "subFolders"),
              (Entries{"count=2 name=Images", "count=1 name=Documents", "count=1 name=Audio"}));

    const QJsonObject undone = jsonOf(runFoldwise({"undo", input, output, "--json"}));
    EXPECT_EQ(
        scalarsOf(undone),
        R"({"alreadyUndone":false,"cancelled":false,"command":"undo","complete":true,"dryRun":false,"failure":null,)"
        R"("folderBlocked":0,"folders":3,"gone":2,"inUse":0,"input":"IN",)"
        R"("inputWatched":false,"keptBoth":0,"moved":4,"nameRefused":0,"nameTaken":1,)"
        R"("notReached":0,"notRegular":0,"nothingOnRecord":false,"output":"OUT",)"
        R"("tooLarge":0,"vanished":0})");
    EXPECT_EQ(entriesOf(undone, "files"), (Entries{"name=a.jpg subFolder=Images", "name=b.jpg subFolder=Images",
                                                   "name=m.mp3 subFolder=Audio", "name=c.pdf subFolder=Documents"}));

    // A sort counts as undone only once all of its files are back: this one is not.
    const QJsonArray runs = jsonOf(runFoldwise({"history", "--json"})).value(QStringLiteral("runs")).toArray();
    ASSERT_EQ(runs.size(), 2);
    std::vector<std::int64_t> ids;
    std::vector<std::string> scalars;
    for (const QJsonValue& run : runs) {
        QJsonObject entry = run.toObject();
        EXPECT_EQ(entry.take(QStringLiteral("started")).toString(),
                  QDateTime::fromMSecsSinceEpoch(entry.take(QStringLiteral("startedMs")).toInteger(), Qt::UTC)
                      .toString(Qt::ISODateWithMs));
        ids.push_back(entry.take(QStringLiteral("id")).toInteger());
        scalars.push_back(scalarsOf(entry));
    }
    EXPECT_GT(ids[0], ids[1]) << "newest first";
    EXPECT_EQ(scalars, (std::vector<std::string>{
                           R"({"failure":null,"gone":2,"input":"IN","kind":"undo","mode":null,"moved":4,)"
                           R"("nameTaken":1,"notReached":0,"notRegular":0,"output":"OUT","state":"completed",)"
                           R"("undone":false,"vanished":0})",
                           R"({"failure":null,"gone":0,"input":"IN","kind":"sort","mode":"category","moved":7,)"
                           R"("nameTaken":2,"notReached":0,"notRegular":3,"output":"OUT","state":"completed",)"
                           R"("undone":false,"vanished":0})"}));
}

TEST_F(JsonDocuments, StatsGivesEachCountInItsOwnField) {
    for (const auto& [extension, count] : {std::pair{".txt", 6}, {".pdf", 1}, {".jpg", 3}, {".png", 2}, {".mp3", 4}}) {
        for (int index = 0; index < count; ++index) {
            writeFile(input / (std::to_string(index) + extension));
        }
    }

    const QJsonObject document = jsonOf(runFoldwise({"stats", input, "--top", "3", "--json"}));

    EXPECT_EQ(
        QJsonDocument(document).toJson(QJsonDocument::Compact).toStdString(),
        R"({"categories":[{"bytes":49,"category":"Documents","count":7},{"bytes":35,"category":"Images","count":5},)"
        R"({"bytes":28,"category":"Audio","count":4}],"command":"stats","files":16,"folder":")" +
            input.string() +
            R"(","types":[{"bytes":42,"count":6,"type":"txt"},{"bytes":28,"count":4,"type":"mp3"},)"
            R"({"bytes":21,"count":3,"type":"jpg"}],)"
            R"("typesInAll":5,"unreadableFolders":[]})");
}

} // namespace
} // namespace foldwise::test
