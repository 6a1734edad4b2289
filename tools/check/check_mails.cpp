#include "check_mails.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "check_references.h"
#include "check_text.h"
#include "graphics/line_break.h"

namespace check {

namespace {

constexpr int kSenders = 3;  // the sender numbers the mail screen names
constexpr std::size_t kHeaderBytes = 255;
constexpr int kLineBytes = 62;  // a page line, in bytes, before a character may hang
constexpr int kPageLines = 7;
constexpr int kPages = 10;  // pages the reader holds
constexpr int kRoomStyles = 5;

// The characters of a voice or music name: "0" to "z".
bool IsNameByte(char c) { return c >= '0' && c <= 'z'; }

// The run of name characters at `at`.
std::string_view NameRun(std::string_view text, std::size_t at) {
  std::size_t end = at;
  while (end < text.size() && IsNameByte(text[end])) ++end;
  return text.substr(at < text.size() ? at : text.size(), end > at ? end - at : 0);
}

void CheckHeader(Context& ctx, std::string_view file, std::string_view text) {
  std::size_t end = text.find('\n');
  if (end == std::string_view::npos) end = text.size();
  std::string_view line = text.substr(0, end);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (line.size() + 1 > kHeaderBytes)
    ctx.Reportf(file, 1, "header line is %zu bytes long; the game reads only its first %zu", line.size(),
                kHeaderBytes - 1);
  if (line.empty() || line[0] != '$') {
    ctx.Report(file, 1, "header must begin with '$': $sender/subject/day caption/attachment/");
    return;
  }
  std::string_view rest = line.substr(1);
  if (rest.find('$') != std::string_view::npos)
    ctx.Report(file, 1, "header holds a second '$', which the reader takes for the music line");
  // Runs of "/" separate the pieces; empty pieces vanish.
  std::vector<std::string_view> pieces;
  for (std::size_t p = 0; p < rest.size();) {
    while (p < rest.size() && rest[p] == '/') ++p;
    if (p == rest.size()) break;
    const std::size_t q = std::min(rest.find('/', p), rest.size());
    pieces.push_back(rest.substr(p, q - p));
    p = q;
  }
  const bool closed = !rest.empty() && rest.back() == '/';
  if (pieces.size() < 3 || (pieces.size() == 3 && !closed) || (pieces.size() == 4 && !closed)) {
    ctx.Reportf(
        file, 1,
        "header lacks pieces: it needs $sender/subject/day caption/attachment/ ending in '/' (the attachment may "
        "be empty), and has %zu piece%s%s",
        pieces.size(), pieces.size() == 1 ? "" : "s", closed ? "" : " without the closing '/'");
    return;
  }
  if (pieces.size() > 4)
    ctx.Reportf(file, 1, "header has %zu pieces; the game reads four and ignores %s (a '/' inside the subject?)",
                pieces.size(), Quote(pieces[4]).c_str());

  const std::size_t second = end + 1;
  if (second < text.size() && text[second] != '$')
    ctx.Report(file, 2, "second line must begin with '$' (followed by the mail's music name, or nothing)");

  const std::string_view sender = pieces[0];
  const bool digits = sender.find_first_not_of("0123456789") == std::string_view::npos;
  if (!digits || std::atoi(std::string(sender).c_str()) >= kSenders)
    ctx.Reportf(file, 1, "sender %s is not one of the sender numbers 0 to %d", Quote(sender).c_str(), kSenders - 1);
  if (pieces[1].size() > kMaxTitleBytes)
    ctx.Reportf(file, 1, "subject is %zu bytes long; at most %zu fit", pieces[1].size(), kMaxTitleBytes);
  if (pieces[2].size() > kMaxNameBytes)
    ctx.Reportf(file, 1, "day caption %s is %zu bytes long; at most %zu fit", Quote(pieces[2]).c_str(),
                pieces[2].size(), kMaxNameBytes);
  if (pieces.size() < 4) return;  // no attachment

  const std::string_view attachment = pieces[3];
  if (!CheckName(ctx, file, 1, attachment, "attachment name")) return;
  switch (attachment[0]) {
    case 'p':
    case 'P': RequirePhoto(ctx, file, 1, attachment); break;
    case 'r': {
      const int room = attachment.size() >= 2 ? attachment[1] - '0' : -1;
      if (room < 0 || room >= kRoomStyles)
        ctx.Reportf(file, 1, "room attachment %s must be 'r' followed by a room style 0 to %d",
                    Quote(attachment).c_str(), kRoomStyles - 1);
      else if (!ctx.RoomListHolds(room))
        ctx.Reportf(file, 1, "room attachment %s: room %d is not in %s", Quote(attachment).c_str(), room, kRoomList);
      break;
    }
    case 'R':
      ctx.Reportf(file, 1,
                  "attachment %s: the mail list takes a name beginning with 'R' for a broadcast, but the attachment "
                  "button opens the room tab for it; rooms are written 'r' + number",
                  Quote(attachment).c_str());
      break;
    case 'v':
    case 'V': RequireVideo(ctx, file, 1, attachment, true); break;
    default:
      RequireVideo(ctx, file, 1, attachment, true);
      ctx.Reportf(file, 1,
                  "attachment %s is received as a video but does not begin with 'v', so the attachment button opens "
                  "the photo tab",
                  Quote(attachment).c_str());
      break;
  }
}

// Lays the body out as the mail reader does, page by page.
class PageLayout {
 public:
  PageLayout(Context& ctx, std::string_view file, const std::string& text)
      : ctx_(ctx), file_(file), text_(text), lines_(text) {}

  void Run() {
    std::size_t i = Header();
    if (page_ < 0) {
      ctx_.Report(file_, 0,
                  "mail has no page: after the header and the music line, a line \"$\" + voice must begin page 1");
      return;
    }
    const std::string_view t = text_;
    while (i < t.size()) {
      const char b = t[i];
      if (b == '$') {
        const char next = i + 1 < t.size() ? t[i + 1] : '\0';
        if (next == '$') {
          if (column_ > 0) EndLine(i);
          i += 2;
        } else if (next == '1' || next == '2') {
          // The player's name: at most six characters for "$1", two for "$2"; counted at their
          // widest (double-byte), so a page that fits here fits every name.
          for (int k = 0; k < (next == '1' ? 6 : 2); ++k) Place(i, "\x88\x9f", 2);
          i += 2;
        } else {
          i = PageMark(i);
        }
        continue;
      }
      if (static_cast<unsigned char>(b) < 0x20) {
        ++i;
        continue;
      }
      const int width = static_cast<unsigned char>(b) >= 0x80 && i + 1 < t.size() ? 2 : 1;
      Place(i, text_.c_str() + i, width);
      i += static_cast<std::size_t>(width);
    }
    Finish();
  }

 private:
  struct Page {
    int line;              // where the page begins in the file
    bool spilled = false;  // begun by text running past the last line of the page before
    bool has_text = false;
  };

  // Walks the header; returns where the body begins (after page 0's voice).
  std::size_t Header() {
    const std::string_view t = text_;
    int marks = 0;
    std::size_t i = 0;
    while (i < t.size()) {
      if (t[i] == '$') {
        if (++marks == 3) return PageMark(i);
        ++i;
      } else if (marks == 2) {
        const std::string_view name = NameRun(t, i);
        if (!name.empty()) {
          const int line = lines_.LineOf(i);
          if (name.size() > kMaxNameBytes)
            ctx_.Reportf(file_, line, "music name %s is %zu bytes long; the reader takes only its first %zu",
                         Quote(name).c_str(), name.size(), kMaxNameBytes);
          else
            RequireMusic(ctx_, file_, line, name);
        }
        const std::size_t next = t.find('$', i);
        i = next == std::string_view::npos ? t.size() : next;
      } else {
        ++i;
      }
    }
    return i;
  }

  // A page mark "$" + voice at `i`; returns where the page's text begins.
  std::size_t PageMark(std::size_t i) {
    const std::string_view t = text_;
    ++page_;
    line_ = 0;
    column_ = 0;
    const int line = lines_.LineOf(i);
    pages_.push_back({line});
    const std::string_view voice = NameRun(t, i + 1);
    if (voice.size() > kMaxNameBytes)
      ctx_.Reportf(file_, line, "voice name %s is %zu bytes long; the reader takes only its first %zu",
                   Quote(voice).c_str(), voice.size(), kMaxNameBytes);
    else if (!voice.empty())
      RequireVoice(ctx_, file_, line, voice);
    const std::size_t name_end = i + 1 + (voice.size() < kMaxNameBytes ? voice.size() : kMaxNameBytes);
    return name_end + 1 < t.size() ? name_end + 1 : t.size();  // the byte after the name is skipped
  }

  void EndLine(std::size_t at) {
    column_ = 0;
    if (++line_ == kPageLines) {
      line_ = 0;
      ++page_;
      pages_.push_back({lines_.LineOf(at), true});
    }
  }

  void Place(std::size_t at, const char* ch, int width) {
    if (column_ >= kLineBytes && !(column_ == kLineBytes && MayHang(ch))) EndLine(at);
    Page& page = pages_.back();
    if (page.spilled && !page.has_text) {
      ctx_.Reportf(file_, lines_.LineOf(at),
                   "page %zu overflows: its text runs past %d lines of %d bytes, and the rest spills onto a page "
                   "without a voice",
                   pages_.size() - 1, kPageLines, kLineBytes);
    }
    if (page_ >= kPages && !over_reported_) {
      over_reported_ = true;
      ctx_.Reportf(file_, lines_.LineOf(at), "text on page %d: the mail reader holds only %d pages", page_ + 1, kPages);
    }
    page.has_text = true;
    column_ += width;
  }

  void Finish() {
    const std::size_t last = pages_.size() - 1;
    if (pages_[last].has_text) {
      ctx_.Reportf(file_, pages_[last].line,
                   "mail does not end with a line holding a single '$'; the game does not show its last page");
      return;
    }
    for (std::size_t k = 0; k < last; ++k) {
      if (pages_[k].has_text) continue;
      if (pages_[k].spilled)
        ctx_.Reportf(file_, pages_[k].line,
                     "page %zu is blank: the seventh line of page %zu, ended by '$$', already opened it", k + 1, k);
      else
        ctx_.Reportf(file_, pages_[k].line, "page %zu has no text; the game shows it blank or drops it", k + 1);
    }
  }

  Context& ctx_;
  std::string_view file_;
  const std::string& text_;
  LineIndex lines_;
  std::vector<Page> pages_;
  int page_ = -1;
  int line_ = 0;
  int column_ = 0;
  bool over_reported_ = false;
};

}  // namespace

void CheckMailText(Context& ctx, std::string_view file, const std::string& text) {
  CheckHeader(ctx, file, text);
  PageLayout(ctx, file, text).Run();
}

void CheckMails(Context& ctx) {
  for (const std::string& name : ctx.ListFiles(kMailFolder, ".txt")) {
    const std::string file = std::string(kMailFolder) + name + ".txt";
    std::string text;
    if (!ctx.ReadFile(file, &text)) {
      ctx.Report(file, 0, "cannot be read");
      continue;
    }
    CheckMailText(ctx, file, text);
  }
}

}  // namespace check
