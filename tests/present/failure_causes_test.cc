#include "present/failure_causes.h"

#include <gtest/gtest.h>

#include <string>

namespace cordshift {
namespace {

// The line below the window's failure text: the file or folder that failed
// and why, the same facts as the command line's reason.
TEST(FailureCauseTest, NamesTheFileOrFolderAndTheCause) {
  const std::string source = "C:\\data\\src\\W1.lvd";
  const struct {
    FileFault fault;
    std::string cause;
  } kCases[] = {
      {ReadFault(FaultKind::kUnreadable, ReadError::kCannotRead, 0),
       "読み込めません: C:\\data\\src\\W1.lvd"},
      {ReadFault(FaultKind::kUnreadable, ReadError::kTooLarge, 5000000000),
       "大きすぎて読み込めません: C:\\data\\src\\W1.lvd"},
      {KindFault(FaultKind::kInvalidHeader),
       "ヘッダーが正しくありません: C:\\data\\src\\W1.lvd"},
      {LineFault(FaultKind::kHeaderLine, 2),
       "2 行目 (ヘッダー) が正しくありません: C:\\data\\src\\W1.lvd"},
      {LineFault(FaultKind::kMalformedRecord, 7),
       "7 行目のレコードが正しくありません: C:\\data\\src\\W1.lvd"},
      {ReadFault(FaultKind::kCommentUnreadable, ReadError::kCannotRead, 0,
                 "C:\\data\\src\\W1.ini"),
       "コメントファイルを読み込めません: C:\\data\\src\\W1.ini"},
      {PathFault(FaultKind::kCommentNotWritten, "C:\\out\\W1.ini"),
       "コメントファイルに書き込めません: C:\\out\\W1.ini"},
      {WriteFault("C:\\out\\W1.lvd", WriteError::kCreateFailed),
       "書き込めません: C:\\out\\W1.lvd"},
      {WriteFault("C:\\out\\W1.lvd", WriteError::kReadOnlyTarget),
       "読み取り専用のため書き込めません: C:\\out\\W1.lvd"},
      {FolderCreateFault("C:\\locked\\out\\",
                         FolderCreateError::kPermissionDenied),
       "書き込めません: C:\\locked\\out\\"},
      {FolderCreateFault("D:\\out\\", FolderCreateError::kReadOnlyFileSystem),
       "書き込めません: D:\\out\\"},
      {FolderCreateFault("C:\\out\\A\\", FolderCreateError::kFileInTheWay),
       "同じ名前のファイルがあるためフォルダを作成できません: C:\\out\\A\\"},
      {FolderCreateFault("C:\\out\\A\\", FolderCreateError::kOther),
       "フォルダを作成できません: C:\\out\\A\\"},
      {PathFault(FaultKind::kFolderNotOpened, "C:\\out\\A\\"),
       "フォルダを開けません: C:\\out\\A\\"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(FailureCause(FaultReport(source, c.fault)), c.cause);
  }
  EXPECT_EQ(FolderListingCause("C:\\data\\src\\", false),
            "フォルダがありません: C:\\data\\src\\");
  EXPECT_EQ(FolderListingCause("C:\\data\\src\\", true),
            "フォルダを読み込めません: C:\\data\\src\\");
}

}  // namespace
}  // namespace cordshift
