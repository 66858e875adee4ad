#pragma once
// The whole main window as a model of values, laid out as Form1 holds it at creation.
#include <vector>

#include "ui/form1.h"
#include "ui/model_controls.h"

namespace velnor {

// The two pattern samples of List1.
inline const String kSampleWithSecondNumber = u"http://～～～/xxx_yyy+.拡張子";
inline const String kSampleFirstNumberOnly = u"http://～～～/xxx+.拡張子";

class ModelForm {
 public:
  ModelForm();
  ModelForm(const ModelForm&) = delete;
  ModelForm& operator=(const ModelForm&) = delete;

  const Form1& form() const { return form_; }

  ModelTextBox urltxt;
  ModelTextBox text1;   // Text(1)
  ModelTextBox text2;   // Text(2)
  ModelComboBox Combo1;
  ModelComboBox Combo2;
  ModelComboBox Combo3;
  ModelCheckBox Check1;
  ModelCheckBox Check2;
  ModelCheckBox Check3;
  ModelCheckBox Checkund;
  ModelOptionButton Option0;
  ModelOptionButton Option1;
  ModelListBox List1;
  ModelListBox urllist{true};
  ModelListBox list1;   // List(1)
  ModelListBox list2;   // List(2)

 private:
  std::vector<ModelOptionButton*> optionGroup_;
  Form1 form_;
};

}  // namespace velnor
