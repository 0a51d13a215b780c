// ScriptedUi: an EditorUi that answers from a script, for tests.
//
// Each kind of question has its own queue of answers. Every question asked is
// recorded in order (kind + text), so a test can check both what was asked
// and that nothing was asked beyond the script (Unanswered() == 0).
#pragma once

#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "editor/EditorUi.h"

namespace vell {

class ScriptedUi : public EditorUi {
 public:
  struct TAsked {
    std::string kind;  // "message", "input", "color", "open", "save"
    std::string text;  // message text, prompt, title
  };

  // Script.
  ScriptedUi& AnswerMessage(TMsgResult r) { messages_.push_back(r); return *this; }
  ScriptedUi& AnswerInput(std::optional<std::string> s) { inputs_.push_back(std::move(s)); return *this; }
  ScriptedUi& AnswerColor(std::optional<uint32_t> c) { colors_.push_back(c); return *this; }
  ScriptedUi& AnswerOpen(std::optional<std::string> p) { opens_.push_back(std::move(p)); return *this; }
  ScriptedUi& AnswerSave(std::optional<std::string> p) { saves_.push_back(std::move(p)); return *this; }

  // What happened.
  const std::vector<TAsked>& Asked() const { return asked_; }
  int Unanswered() const { return unanswered_; }
  const std::vector<TFileRequest>& FileRequests() const { return fileRequests_; }
  const std::vector<TMsgButtons>& ButtonSets() const { return buttonSets_; }

  TMsgResult MessageBox(const std::string& text, TMsgButtons buttons, TMsgKind) override {
    asked_.push_back({"message", text});
    buttonSets_.push_back(buttons);
    if (messages_.empty()) {
      // Plain notices need no scripted answer.
      if (buttons == TMsgButtons::Ok) return TMsgResult::Ok;
      ++unanswered_;
      return buttons == TMsgButtons::YesNo ? TMsgResult::No : TMsgResult::Cancel;
    }
    return Pop(messages_);
  }
  std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                      const std::string&) override {
    asked_.push_back({"input", caption + "|" + prompt});
    return Next(inputs_);
  }
  std::optional<uint32_t> ChooseColor(uint32_t) override {
    asked_.push_back({"color", ""});
    return Next(colors_);
  }
  std::optional<std::string> OpenFileName(const TFileRequest& request) override {
    asked_.push_back({"open", request.title});
    fileRequests_.push_back(request);
    return Next(opens_);
  }
  std::optional<std::string> SaveFileName(const TFileRequest& request) override {
    asked_.push_back({"save", request.title});
    fileRequests_.push_back(request);
    return Next(saves_);
  }

 private:
  template <typename T>
  static T Pop(std::deque<T>& q) {
    T v = std::move(q.front());
    q.pop_front();
    return v;
  }
  template <typename T>
  std::optional<T> Next(std::deque<std::optional<T>>& q) {
    if (q.empty()) {
      ++unanswered_;
      return std::nullopt;
    }
    return Pop(q);
  }

  std::deque<TMsgResult> messages_;
  std::deque<std::optional<std::string>> inputs_;
  std::deque<std::optional<uint32_t>> colors_;
  std::deque<std::optional<std::string>> opens_;
  std::deque<std::optional<std::string>> saves_;
  std::vector<TAsked> asked_;
  std::vector<TFileRequest> fileRequests_;
  std::vector<TMsgButtons> buttonSets_;
  int unanswered_ = 0;
};

}  // namespace vell
