// frmAbout: the About window. It also carries the program's two web requests
// (the home page from its link, the donation page from the tray), each run one
// second after it is asked for: a connection check, then the page in the
// browser or a notice that there is no connection.
#pragma once

#include <string>

#include "app/LoadableForm.h"

namespace tamberlinox {

class AboutForm : public LoadableForm {
 public:
  enum : int {
    Label1 = 101,    // the explanatory text
    Label2 = 102,    // the home page link
    Label5 = 105,    // "Connecting Please Wait"
    Command1 = 110,  // "Close Form"
  };
  enum : int {
    Timer1 = 1,  // 100 ms: unloads the window after a request
    Timer2 = 2,  // 1000 ms: runs the web request
  };

  using LoadableForm::LoadableForm;

  // The tray command "Make A Donation".
  void MakeADonation();

  void Command1_Click();
  void Label2_Click();
  void Form_MouseMove();
  void Label1_MouseMove();
  void Label2_MouseMove();
  void Timer1_Timer();
  void Timer2_Timer();

 protected:
  platform::FormSpec Spec() const override;
  void Form_Load() override;

 private:
  void OnClick(int controlId) override;
  void OnMouseMove(int controlId) override;
  void OnTimer(int timerId) override;
  void OnCloseBox() override;
};

}  // namespace tamberlinox
