// What the program's three windows have in common: a window that exists only
// while it is loaded. Loading creates it from its description and runs its load
// handler; unloading destroys it and runs its unload handler, so the next load
// starts again from the design state.
#pragma once

#include <memory>

#include "platform/Platform.h"

namespace tamberlinox {

struct Program;

class LoadableForm : public platform::FormEvents {
 public:
  explicit LoadableForm(Program& program) : program_(program) {}
  LoadableForm(const LoadableForm&) = delete;
  LoadableForm& operator=(const LoadableForm&) = delete;
  virtual ~LoadableForm() = default;

  bool Loaded() const { return form_ != nullptr; }
  // Creates the window and runs Form_Load, unless it is loaded already.
  void Load();
  // Loads the window if needed and shows it, not modal.
  void Show();
  // Runs Form_Unload and destroys the window; nothing when it is not loaded.
  // May be called from inside one of the window's own handlers.
  void Unload();
  // The window while it is loaded, else null.
  platform::Form* form() const { return form_.get(); }

 protected:
  virtual platform::FormSpec Spec() const = 0;
  virtual void Form_Load() {}
  virtual void Form_Unload() {}

  Program& program_;

 private:
  std::unique_ptr<platform::Form> form_;
};

}  // namespace tamberlinox
