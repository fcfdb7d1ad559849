#include "present/failure_causes.h"

#include <string>

namespace cordshift {
namespace {

std::string Named(const char* what, const std::string& path) {
  return std::string(what) + ": " + path;
}

std::string LineCause(int line, const char* what, const std::string& path) {
  return std::to_string(line) + " " + what + ": " + path;
}

// A folder that cannot be made because nothing may be written there is
// named as such; other refusals say why in brackets.
std::string FolderNotCreated(const FileFault& fault) {
  switch (fault.create_error) {
    case FolderCreateError::kReadOnlyFileSystem:
    case FolderCreateError::kPermissionDenied:
      return Named("書き込めません", fault.path);
    case FolderCreateError::kFileInTheWay:
      return Named("同じ名前のファイルがあるためフォルダを作成できません",
                   fault.path);
    case FolderCreateError::kNoParent:
      return Named("上のフォルダがないためフォルダを作成できません",
                   fault.path);
    case FolderCreateError::kPathTooLong:
      return Named("パスが長すぎるためフォルダを作成できません", fault.path);
    case FolderCreateError::kNone:
    case FolderCreateError::kOther:
      break;
  }
  return Named("フォルダを作成できません", fault.path);
}

std::string NotWritten(const FileFault& fault) {
  switch (fault.write_error) {
    case WriteError::kReadOnlyTarget:
      return Named("読み取り専用のため書き込めません", fault.path);
    case WriteError::kTargetIsFolder:
      return Named("同じ名前のフォルダがあるため書き込めません", fault.path);
    case WriteError::kNoFolder:
      return Named("フォルダがありません", fault.path);
    default:
      break;
  }
  return Named("書き込めません", fault.path);
}

}  // namespace

std::string FailureCause(const FileReport& report) {
  if (!report.fault) return {};
  const FileFault& fault = *report.fault;
  const std::string& source = report.source;
  switch (fault.kind) {
    case FaultKind::kUnreadable:
      return Named(fault.read_error == ReadError::kTooLarge
                       ? "大きすぎて読み込めません"
                       : "読み込めません",
                   source);
    case FaultKind::kInvalidHeader:
      return Named("ヘッダーが正しくありません", source);
    case FaultKind::kShortHeader:
      return Named("4 行に満たないファイルです", source);
    case FaultKind::kHeaderLine:
      return LineCause(fault.line, "行目 (ヘッダー) が正しくありません",
                       source);
    case FaultKind::kMalformedRecord:
      return LineCause(fault.line, "行目のレコードが正しくありません", source);
    case FaultKind::kCommentUnreadable:
    case FaultKind::kDestinationCommentUnreadable:
      return Named("コメントファイルを読み込めません", fault.path);
    case FaultKind::kCommentNotWritten:
      return Named("コメントファイルに書き込めません", fault.path);
    case FaultKind::kNotWritten:
      return NotWritten(fault);
    case FaultKind::kFolderUnreadable:
      return Named("フォルダを読み込めません", source);
    case FaultKind::kFolderGone:
      return Named("フォルダがありません", source);
    case FaultKind::kFolderNotCreated:
      return FolderNotCreated(fault);
    case FaultKind::kWrittenFileDiffers:
      return LineCause(fault.line, "行目が変換元と一致しません", fault.path);
    case FaultKind::kWrittenCommentDiffers:
      return Named("コメントが変換元と一致しません", fault.path);
    case FaultKind::kWrittenFileUnreadable:
      return Named("書き込んだファイルを読み込めません", fault.path);
    case FaultKind::kFolderNotOpened:
      break;
  }
  return Named("フォルダを開けません", fault.path);
}

std::string FolderListingCause(const std::string& folder, bool exists) {
  return Named(exists ? "フォルダを読み込めません" : "フォルダがありません",
               folder);
}

}  // namespace cordshift
