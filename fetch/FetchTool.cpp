#include "fetch/FetchTool.h"

#include "fetch/FetchApp.h"
#include "fetch/FetchMessages.h"

namespace fetch {

namespace {
void FetchAndInstall() { fetchApp.FetchAndInstall(); }
}  // namespace

const frame::Tool kGlyphfetch = {
    "Glyphfetch_Log%d.txt", "Glyphfetch処理中：ログ出力(", &kFetchMessages, &ReadFetchSettings,
    {&FetchAndInstall},
};

}  // namespace fetch
