// The main window: wanted value, resistors needed, resistors not owned, and the result list.
#pragma once

#include <cstdint>

#include "platform/Forms.h"

class TForm1 : public TForm {
 public:  // published: bound by name from the form description
  TListBox* ListAns = nullptr;
  TEdit* Edit1 = nullptr;
  TListBox* ListUse = nullptr;
  TListBox* ListNone = nullptr;
  TButton* Button1 = nullptr;
  TLabel* Label1 = nullptr;
  TLabel* Label2 = nullptr;
  TLabel* Label3 = nullptr;
  TButton* Button2 = nullptr;
  TLabel* Label4 = nullptr;
  TLabel* NeedReg = nullptr;

  void InitTable();
  std::int32_t OhmSift(std::int32_t maxCount, double target);
  void CalcSub(double target);
  void ReCalcSub();
  void Edit1Change(TObject* Sender);
  void Button1Click(TObject* Sender);
  void Button2Click(TObject* Sender);

  TForm1();
};

extern TForm1* Form1;

// The form description of TForm1 and its published members.
extern const TFormDescription Form1Description;
extern const TPublishedTable Form1Published;
