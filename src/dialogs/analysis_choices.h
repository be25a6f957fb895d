#pragma once

#include <QString>

namespace lomi {

// What the analysis windows keep from one opening to the next while the
// program runs: the main window holds it and hands it to each window.
struct AnalysisChoices {
    int betIndex = 0;        // 全パターン集計's 券種
    int minimumRaces = 100;  // 最低ﾚｰｽ数
    bool split = false;      // 検証分割日 ticked
    QString splitDate;       // yyyyMMdd; empty: inside the data
    bool splitChosen = false;  // splitDate was chosen by the user
    int encodingIndex = 0;   // 結果を保存's 文字コード
    QString saveFolder;      // where the last file was saved
};

}  // namespace lomi
