#include "draw_file_words.h"

namespace kestaro {

namespace {

// Why a file kept beside the draw file cannot be used.
std::string keptFileProblemText(KeptFileState state) {
  switch (state) {
    case KeptFileState::Usable:
    case KeptFileState::Missing:
      return "";
    case KeptFileState::NotOpened:
      return "開けません";
    case KeptFileState::Link:
      return "シンボリックリンクです (リンク先を書き換えないよう、たどりません)";
    case KeptFileState::Folder:
      return "フォルダです";
    case KeptFileState::NotRegular:
      return "通常のファイルではありません (パイプ、デバイスなど)";
    case KeptFileState::OtherNames:
      return "ほかの名前 (ハードリンク) もあるファイルです";
    case KeptFileState::DrawFileItself:
      return "当選番号ファイルそのものです";
    case KeptFileState::TooLarge:
      return "大きすぎて読み込めません";
  }
  return "";
}

}  // namespace

std::string recordShown(std::string_view text) {
  constexpr std::size_t kShown = 40;
  const std::string_view line = text.substr(0, text.find_first_of("\r\n\x1a"));
  std::size_t cut = 0;
  for (std::size_t characters = 0; cut < line.size(); ++cut) {
    const bool starts = (static_cast<unsigned char>(line[cut]) & 0xC0) != 0x80;  // UTF-8
    if (starts && characters++ == kShown) break;
  }
  return std::string(line.substr(0, cut)) + (cut == text.size() ? "" : "…");
}

std::string readFailureText(const std::string& path, ReadStatus status) {
  return path +
         (status == ReadStatus::TooLarge ? " は大きすぎて読み込めません\n" : " を読めません\n");
}

std::string appendFailureText(const std::string& path, const AppendOutcome& outcome) {
  switch (outcome.status) {
    case AppendStatus::Appended:
      return "";
    case AppendStatus::NotOpened:
      return path + " を開けません\n";
    case AppendStatus::Busy:
      return path + " には別のプログラムが書き込み中です。" + kNothingAdded + "\n";
    case AppendStatus::TooLarge:
      return path + " は大きすぎて読み込めません。" + kNothingAdded + "\n";
    case AppendStatus::Utf16:
      return path +
             " は UTF-16 (Unicode) で保存されています。追加する行と文字コードが混ざるため、" +
             kNothingAdded + "UTF-8 か Shift-JIS で保存し直してください。\n";
    case AppendStatus::Failed:
      return path + " に書き込めませんでした。ファイルは元のままです。\n";
    case AppendStatus::Replaced:
      return path + " は書き込みの間に移動されたか置き換えられました。" + kNothingAdded + "\n";
    case AppendStatus::RecordUnusable:
      return "巻き戻し記録 " + outcome.recordPath +
             " を使えません: " + keptFileProblemText(outcome.recordState) + "。" + kNothingAdded +
             "\n";
    case AppendStatus::RecordMismatch:
      return "巻き戻し記録 " + outcome.recordPath + " の記す中断された追加と " + path +
             " の末尾が合いません (その後にファイルが変更されています)。" + kNothingAdded + path +
             " の末尾を確かめてから " + outcome.recordPath + " を削除してください。\n";
    case AppendStatus::HalfLine:
      return path + " の最後の行 (" + std::to_string(outcome.halfLine) + " 行目「" +
             recordShown(outcome.halfLineText) +
             "」) は改行で終わらず、当選番号として読めません。書きかけの行に続けないよう、" +
             kNothingAdded + "その行を直すか消してください。\n";
  }
  return "";
}

}  // namespace kestaro
