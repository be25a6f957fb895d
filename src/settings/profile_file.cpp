#include "settings/profile_file.h"

#include "data/cp932.h"
#include "settings/profile_text.h"
#include "settings/whole_file.h"

namespace lomi {
namespace {

WriteResult Failure(const std::string& path, const std::string& reason) {
    WriteResult result;
    result.ok = false;
    result.message = "設定ファイル「" + path + "」に書き込めませんでした。";
    if (!reason.empty()) result.message += "（" + reason + "）";
    return result;
}

}  // namespace

std::string ReadProfileString(const std::string& path, const std::string& section,
                              const std::string& key) {
    const FileReadResult file = ReadWholeFile(path);
    if (file.status != FileReadStatus::Read) return "";
    const auto raw = FindProfileValue(file.bytes, EncodeCp932(section), EncodeCp932(key));
    if (!raw) return "";
    return DecodeCp932(ProfileValueAsRead(*raw));
}

WriteResult WriteProfileString(const std::string& path, const std::string& section,
                               const std::string& key, const std::string& value) {
    return WriteProfileStrings(path, section, {{key, value}});
}

WriteResult WriteProfileStrings(const std::string& path, const std::string& section,
                                const std::vector<ProfileEntry>& entries) {
    // A file that exists but cannot be read is not overwritten: its other
    // lines would be lost.
    FileReadResult old = ReadWholeFile(path);
    if (old.status == FileReadStatus::Failed) return Failure(path, old.error);

    WriteResult result;
    const std::string sectionBytes = EncodeCp932(section);
    std::string bytes = old.bytes;
    bool changed = false;
    for (const ProfileEntry& entry : entries) {
        const std::string key = EncodeCp932(entry.key);
        // A key that already reads as the value keeps its line as the user
        // wrote it (quotes, blanks, bytes no code page character stands for).
        const auto raw = FindProfileValue(bytes, sectionBytes, key);
        if (raw && DecodeCp932(ProfileValueAsRead(*raw)) == entry.value) continue;

        bool representable = true;
        const std::string value = EncodeCp932(entry.value, &representable);
        if (!representable || !ProfileValueRoundTrips(value)) {
            result.keptKeys.push_back(entry.key);
            continue;
        }
        bytes = SetProfileValue(bytes, sectionBytes, key, ProfileValueText(value));
        changed = true;
    }
    if (!changed) return result;
    if (old.status == FileReadStatus::Read && bytes == old.bytes) return result;

    const FileWriteResult written = ReplaceWholeFile(path, bytes);
    if (!written.ok) {
        WriteResult failure = Failure(path, written.error);
        failure.keptKeys = std::move(result.keptKeys);
        return failure;
    }
    return result;
}

}  // namespace lomi
