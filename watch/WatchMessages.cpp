#include "watch/WatchMessages.h"

namespace watch {

const frame::MessageTable kWatchMessages = {
    {1000,
     "監視する外字ﾌｫﾝﾄﾌｧｲﾙが設定されていません。\n"
     "Glyphkeeper.iniを編集して「WatchEudcTTE=」を設定して下さい。\n"
     "ﾌｫﾝﾄﾌｧｲﾙはﾌﾙﾊﾟｽで指定して下さい。"},
    {1001,
     "「%s」は存在しません。\n"
     "Glyphkeeper.iniを編集して「WatchEudcTTE=」にﾌﾙﾊﾟｽで監視する外字ﾌｫﾝﾄﾌｧｲﾙを設定して下さい。"},
    {1002,
     "ﾀｰｹﾞｯﾄ外字ﾌｫﾝﾄﾌｧｲﾙが設定されていません。\n"
     "Glyphkeeper.iniを編集して「TargetEudcFont=」を設定して下さい。\n"
     "ﾌｫﾝﾄﾌｧｲﾙ名のみ指定します。（ﾌﾙﾊﾟｽではない）"},
    {1003, "「%s」から「%s」へのコピーに失敗しました。"},
    {1004, "「%s」フォントリンクに失敗しました（Error=%d）。"},
    {1005, "「%s」をフォントへリンクしました。"},
    {1006, "フォントリンク解除に失敗しました（Error=%d）。"},
};

}  // namespace watch
