// Paste: every path of the clipboard against the stand-in service, with the files on both
// sides and the clipboard record afterwards.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "app/globals.h"
#include "support/scenario.h"

namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

// A folder's content: "path=bytes" for a file ("path=N bytes #HASH" when long), "path/" for
// a folder; a leading "!" before a file makes it read-only.
using Tree = Strings;

struct Record {
    std::wstring name;
    std::wstring cutSource;
    std::wstring copySource;
};

struct PasteCase {
    const char* name;
    Tree device;  // before
    Tree remote;  // below the remote root, before
    std::string steps;
    Tree deviceAfter;
    Tree remoteAfter;
    Record record;
};

void PrintTo(const PasteCase& c, std::ostream* os) {
    *os << c.name;
}

// Steps.
const std::string kRemote = "command ID_SHOW_REMOTE\n";
const std::string kLocal = "command ID_SHOW_LOCAL\n";
const std::string kPaste = "hold none\nmenu ID_PASTE\n";
const std::string kYes = "answer yes\n";
const std::string kNo = "answer no\n";
std::string Cut(int row, const std::string& name) {
    return "expect row " + std::to_string(row) + " \"" + name + "\"\nhold " + std::to_string(row) +
           "\nmenu ID_CUT\n";
}
std::string Copy(int row, const std::string& name) {
    return "expect row " + std::to_string(row) + " \"" + name + "\"\nhold " + std::to_string(row) +
           "\nmenu ID_COPY\n";
}
std::string Box(const std::string& text) {
    return "expect box \"" + text + "\"\n";
}
const std::string kExisting = Box("Do you want to replace the existing file.");
const std::string kExisiting = Box("Do you want to replace the exisiting file.");
const std::string kUploaded = Box("File Upload Completed");
const std::string kDownloaded = Box("File DownLoad Completed");
const std::string kFailed = Box("File transfer Cancelled");
const std::string kNothingRecorded = Box("Cut or Copy a file to paste");

const std::string kBig(100000, 'b');
const std::string kBigOld(70000, 'o');

std::string Entry(const std::string& path, const std::string& bytes) {
    if (bytes.size() <= 24) {
        return path + "=" + bytes;
    }
    return path + "=" + std::to_string(bytes.size()) + " bytes #" +
           std::to_string(std::hash<std::string>{}(bytes));
}

void MakeTree(const fs::path& root, const Tree& tree) {
    for (std::string entry : tree) {
        const bool readOnly = entry.front() == '!';
        if (readOnly) {
            entry.erase(0, 1);
        }
        if (entry.back() == '/') {
            fs::create_directories(root / entry);
            continue;
        }
        const std::size_t equals = entry.find('=');
        const fs::path path = root / entry.substr(0, equals);
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << entry.substr(equals + 1);
        if (readOnly) {
            fs::permissions(path, fs::perms::owner_write | fs::perms::group_write,
                            fs::perm_options::remove);
        }
    }
}

Tree ReadTree(const fs::path& root) {
    Tree tree;
    if (!fs::exists(root)) {
        return tree;
    }
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string path = entry.path().lexically_relative(root).generic_string();
        if (entry.is_directory()) {
            tree.push_back(path + "/");
            continue;
        }
        std::ifstream in(entry.path(), std::ios::binary);
        tree.push_back(Entry(path, {std::istreambuf_iterator<char>(in), {}}));
    }
    std::sort(tree.begin(), tree.end());
    return tree;
}

// Files as the table writes them, with the long contents shortened as ReadTree does.
Tree Expected(const Tree& tree) {
    Tree result;
    for (std::string entry : tree) {
        if (entry.front() == '!') {
            entry.erase(0, 1);
        }
        const std::size_t equals = entry.find('=');
        result.push_back(equals == std::string::npos
                             ? entry
                             : Entry(entry.substr(0, equals), entry.substr(equals + 1)));
    }
    std::sort(result.begin(), result.end());
    return result;
}

class Paste : public testing_support::Scenario, public testing::WithParamInterface<PasteCase> {
  public:
    static std::vector<PasteCase> Cases();

  protected:
    void SetUp() override {
        // The record lives as long as the process; each case starts with an empty one.
        theApp.m_strClipName.clear();
        theApp.m_strClipPath.clear();
        theApp.m_strClipIsCut.clear();
        theApp.m_strCutSource.clear();
        theApp.m_strCopySource.clear();
    }
};

// Built when the tests are registered, after every static of the program exists.
std::vector<PasteCase> Paste::Cases() {
    return {
        // Remote view, cut on the device: upload, then the device file goes.
        {"UploadCutIntoShownFolder",
         {"a.txt=AAA"},
         {"Docs/"},
         Cut(0, "a.txt") + kRemote + "doubletap 0\n" + kPaste + kUploaded +
             "expect rows 1\nexpect row 0 \"a.txt\" \"3\" \"2\"\n",
         {},
         {"Docs/", "Docs/a.txt=AAA"},
         {L"", L"", L""}},
        {"UploadCutReplaceDeclined",
         {"a.txt=AAAA"},
         {"a.txt=old"},
         Cut(0, "a.txt") + kRemote + kNo + kPaste + kExisting,
         {"a.txt=AAAA"},
         {"a.txt=old"},
         {L"a.txt", L"Local", L""}},
        {"UploadCutReplaced",
         {"a.txt=AAAA"},
         {"a.txt=old"},
         Cut(0, "a.txt") + kRemote + kYes + kPaste + kExisting + "expect row 0 \"a.txt\" \"4\"\n",
         {},
         {"a.txt=AAAA"},
         {L"", L"", L""}},
        {"UploadCutOfAFileThatCannotBeDeleted",
         {"!a.txt=AAA"},
         {},
         Cut(0, "a.txt") + kRemote + kPaste + Box("Cannot delete a system file") +
             "expect row 0 \"a.txt\" \"3\"\n" + kPaste,
         {"a.txt=AAA"},
         {},
         {L"a.txt", L"", L""}},
        {"UploadCutCancelled",
         {"big.bin=" + kBig},
         {},
         Cut(0, "big.bin") + kRemote + TapCancelAtBlock(10) + kPaste + kFailed,
         {"big.bin=" + kBig},
         {},
         {L"big.bin", L"Local", L""}},

        // Remote view, cut in the account: a move inside it.
        {"RemoteMoveToAnotherFolder",
         {},
         {"Docs/n.txt=NN"},
         kRemote + "doubletap 0\n" + Cut(0, "n.txt") + "select IDC_PATHBOX 1\n" + kPaste +
             "expect rows 2\nexpect row 0 \"Docs\" \"\" \"1\"\nexpect row 1 \"n.txt\" \"2\" "
             "\"2\"\n",
         {},
         {"Docs/", "n.txt=NN"},
         {L"", L"", L""}},
        {"RemoteMoveIntoItsOwnFolder",
         {},
         {"Docs/n.txt=NN"},
         kRemote + "doubletap 0\n" + Cut(0, "n.txt") + kPaste,
         {},
         {"Docs/", "Docs/n.txt=NN"},
         {L"n.txt", L"Remote", L""}},
        {"RemoteMoveReplaceDeclined",
         {},
         {"Docs/n.txt=NEW", "n.txt=OLD"},
         kRemote + "doubletap 0\n" + Cut(0, "n.txt") + "select IDC_PATHBOX 1\n" + kNo + kPaste +
             kExisiting,
         {},
         {"Docs/", "Docs/n.txt=NEW", "n.txt=OLD"},
         {L"n.txt", L"Remote", L""}},
        {"RemoteMoveReplaced",
         {},
         {"Docs/n.txt=NEW", "n.txt=OLD"},
         kRemote + "doubletap 0\n" + Cut(0, "n.txt") + "select IDC_PATHBOX 1\n" + kYes + kPaste +
             kExisiting + "expect rows 2\n",
         {},
         {"Docs/", "n.txt=NEW"},
         {L"", L"", L""}},

        // Remote view, copied: an upload that can be repeated, or a refusal.
        {"UploadCopyIntoTwoFolders",
         {"a.txt=AAA"},
         {"Docs/", "Music/"},
         Copy(0, "a.txt") + kRemote + "doubletap 0\n" + kPaste + kUploaded +
             "select IDC_PATHBOX 1\n" + "doubletap 1\n" + kPaste + kUploaded +
             "expect row 0 \"a.txt\" \"3\"\n",
         {"a.txt=AAA"},
         {"Docs/", "Docs/a.txt=AAA", "Music/", "Music/a.txt=AAA"},
         {L"a.txt", L"", L"Local"}},
        {"UploadCopyLeavesTheRootFileOfThatName",
         {"a.txt=DEVICE"},
         {"Docs/", "a.txt=ROOT"},
         Copy(0, "a.txt") + kRemote + "doubletap 0\n" + kPaste + kUploaded,
         {"a.txt=DEVICE"},
         {"Docs/", "Docs/a.txt=DEVICE", "a.txt=ROOT"},
         {L"a.txt", L"", L"Local"}},
        {"UploadCopyReplaceDeclined",
         {"a.txt=AAAA"},
         {"a.txt=old"},
         Copy(0, "a.txt") + kRemote + kNo + kPaste + kExisiting,
         {"a.txt=AAAA"},
         {"a.txt=old"},
         {L"a.txt", L"", L"Local"}},
        {"RemoteCopyRefused",
         {},
         {"n.txt=NN"},
         kRemote + Copy(0, "n.txt") + kPaste + Box("Copy n Paste in Remote is not allowed"),
         {},
         {"n.txt=NN"},
         {L"n.txt", L"", L"Remote"}},
        {"NothingRecordedInEitherView",
         {"a.txt=A"},
         {},
         kPaste + kNothingRecorded + kRemote + kPaste + kNothingRecorded,
         {"a.txt=A"},
         {},
         {L"", L"", L""}},

        // Local view, cut on the device: a move on it.
        {"DeviceMoveIntoAFolder",
         {"Photos/", "a.txt=A"},
         {},
         Cut(1, "a.txt") + kPaste + "doubletap 0\n" + kPaste + "expect rows 0\n" + kPaste +
             kNothingRecorded,
         {"Photos/", "Photos/a.txt=A"},
         {},
         {L"", L"Local", L""}},
        {"DeviceMoveReplaceDeclinedDropsTheCut",
         {"Photos/a.txt=OLD", "a.txt=NEW"},
         {},
         Cut(1, "a.txt") + "doubletap 0\n" + kNo + kPaste + kExisting + kPaste + kNothingRecorded,
         {"Photos/", "Photos/a.txt=OLD", "a.txt=NEW"},
         {},
         {L"", L"Local", L""}},
        {"DeviceMoveReplaced",
         {"Photos/a.txt=OLD", "a.txt=NEW"},
         {},
         Cut(1, "a.txt") + "doubletap 0\n" + kYes + kPaste + kExisting,
         {"Photos/", "Photos/a.txt=NEW"},
         {},
         {L"", L"Local", L""}},
        {"DeviceMoveOntoAReadOnlyFileKeepsBoth",
         {"!Photos/a.txt=OLD", "a.txt=NEW"},
         {},
         Cut(1, "a.txt") + "doubletap 0\n" + kYes + kPaste + kExisting +
             Box("Cannot Cut a system file"),
         {"Photos/", "Photos/a.txt=OLD", "a.txt=NEW"},
         {},
         {L"", L"Local", L""}},
        {"DeviceMoveOntoAFolderKeepsBoth",
         {"Photos/a.txt/", "a.txt=NEW"},
         {},
         Cut(1, "a.txt") + "doubletap 0\n" + kYes + kPaste + kExisting +
             Box("Cannot Cut a system file"),
         {"Photos/", "Photos/a.txt/", "a.txt=NEW"},
         {},
         {L"", L"Local", L""}},
        {"DeviceMoveOfAReadOnlyFileCopiesIt",
         {"Photos/a.txt=OLD", "!a.txt=NEW"},
         {},
         Cut(1, "a.txt") + "doubletap 0\n" + kYes + kPaste + kExisting +
             Box("Cannot Cut a system file"),
         {"Photos/", "Photos/a.txt=NEW", "a.txt=NEW"},
         {},
         {L"", L"Local", L""}},

        // Local view, cut in the account: download, then the remote file goes.
        {"DownloadCutOverADeviceFile",
         {"n.txt=old"},
         {"n.txt=NN"},
         kRemote + Cut(0, "n.txt") + kLocal + kPaste + kDownloaded,
         {"n.txt=NN"},
         {},
         {L"", L"Remote", L""}},
        {"DownloadCutTakesTheRecordedFile",
         {},
         {"Docs/n.txt=DOCS", "Other/n.txt=OTHER"},
         kRemote + "doubletap 0\n" + Cut(0, "n.txt") + "select IDC_PATHBOX 1\n" + "doubletap 1\n" +
             "expect row 0 \"n.txt\"\n" + kLocal + kPaste + kDownloaded,
         {"n.txt=DOCS"},
         {"Docs/", "Other/", "Other/n.txt=OTHER"},
         {L"", L"Remote", L""}},
        {"DownloadCutCancelled",
         {"big.bin=" + kBigOld},
         {"big.bin=" + kBig},
         kRemote + Cut(0, "big.bin") + kLocal + TapCancelAtBlock(10) + kPaste + kFailed,
         {"big.bin=" + kBigOld},
         {"big.bin=" + kBig},
         {L"big.bin", L"Remote", L""}},

        // Local view, copied: a copy on the device, or a download.
        {"DeviceCopyIntoAFolder",
         {"Photos/", "a.txt=A"},
         {},
         Copy(1, "a.txt") + kPaste + "doubletap 0\n" + kPaste + kNo + kPaste + kExisting,
         {"Photos/", "Photos/a.txt=A", "a.txt=A"},
         {},
         {L"a.txt", L"", L"Local"}},
        {"DeviceCopyReplaceDeclined",
         {"Photos/a.txt=OLD", "a.txt=NEW"},
         {},
         Copy(1, "a.txt") + "doubletap 0\n" + kNo + kPaste + kExisting,
         {"Photos/", "Photos/a.txt=OLD", "a.txt=NEW"},
         {},
         {L"a.txt", L"", L"Local"}},
        {"DeviceCopyReplaced",
         {"Photos/a.txt=OLD", "a.txt=NEW"},
         {},
         Copy(1, "a.txt") + "doubletap 0\n" + kYes + kPaste + kExisting,
         {"Photos/", "Photos/a.txt=NEW", "a.txt=NEW"},
         {},
         {L"a.txt", L"", L"Local"}},
        {"DownloadCopyTwice",
         {"Photos/", "n.txt=old"},
         {"n.txt=NN"},
         kRemote + Copy(0, "n.txt") + kLocal + kPaste + kDownloaded + "doubletap 0\n" + kPaste +
             kDownloaded,
         {"Photos/", "Photos/n.txt=NN", "n.txt=NN"},
         {"n.txt=NN"},
         {L"n.txt", L"", L"Remote"}},
    };
}

TEST_P(Paste, LeavesBothSidesAndTheRecordAsExpected) {
    const PasteCase& c = GetParam();
    MakeTree(device.Path(), c.device);
    MakeTree(RemoteRoot(), c.remote);
    std::vector<std::string> repaints;
    const auto result =
        RunRecordingRepaints(LoginSteps() + c.steps +
                                 "expect no-box\n"
                                 // A paste leaves the progress bar and the toolbar alone.
                                 "expect progress 0\n"
                                 "expect enabled ID_SHOW_LOCAL ID_SHOW_REMOTE ID_UPLOAD "
                                 "ID_DOWNLOAD ID_NEW_FOLDER ID_DELETE ID_MOVE\n" +
                                 ExitSteps(),
                             repaints);
    ASSERT_EQ(result.status, 0) << result.message << '\n' << result.transcript;
    EXPECT_EQ(repaints, Strings{});
    EXPECT_EQ(ReadTree(device.Path()), Expected(c.deviceAfter));
    EXPECT_EQ(ReadTree(RemoteRoot()), Expected(c.remoteAfter));
    EXPECT_EQ(theApp.m_strClipName, c.record.name);
    EXPECT_EQ(theApp.m_strCutSource, c.record.cutSource);
    EXPECT_EQ(theApp.m_strCopySource, c.record.copySource);
}

INSTANTIATE_TEST_SUITE_P(Paths, Paste, testing::ValuesIn(Paste::Cases()),
                         [](const testing::TestParamInfo<PasteCase>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
