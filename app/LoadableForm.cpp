#include "app/LoadableForm.h"

#include "app/Program.h"

namespace tamberlinox {

void LoadableForm::Load() {
  if (form_) return;
  form_ = program_.os.CreateForm(Spec(), *this);
  if (form_) Form_Load();
}

void LoadableForm::Show() {
  Load();
  if (form_) form_->Show();
}

void LoadableForm::Unload() {
  if (!form_) return;
  Form_Unload();
  // Move the window out first: handlers that run while it is destroyed see it unloaded.
  std::unique_ptr<platform::Form> window = std::move(form_);
  window.reset();
}

}  // namespace tamberlinox
