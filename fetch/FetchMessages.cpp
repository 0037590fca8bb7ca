#include "fetch/FetchMessages.h"

namespace fetch {

const frame::MessageTable kFetchMessages = {
    {1000,
     "ＦＴＰアドレスが指定されていません。\n"
     "Glyphfetch.iniを編集して「FtpAddress=」を設定して下さい。"},
    {1001,
     "ＦＴＰユーザーＩＤが指定されていません。\n"
     "Glyphfetch.iniを編集して「FtpUserID=」を設定して下さい。"},
    {1002,
     "ＦＴＰパスワードが指定されていません。\n"
     "Glyphfetch.iniを編集して「FtpPassword=」を設定して下さい。"},
    {1003,
     "ＦＴＰファイル名が指定されていません。\n"
     "Glyphfetch.iniを編集して「FtpFileName=」を設定して下さい。\n"
     "セションが開始される位置からの相対パスで指定します。"},
    {1004,
     "ローカルファイル名が指定されていません。\n"
     "Glyphfetch.iniを編集して「LocalFileName=」をフルパスで設定して下さい。"},
    {1005, "指定ファイルへのコピーに失敗しました。"},
};

}  // namespace fetch
