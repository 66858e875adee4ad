#include "ui/model_form.h"

namespace velnor {

ModelForm::ModelForm() {
  urltxt.SetText(u"URL");
  List1.AddItem(kSampleWithSecondNumber);
  List1.AddItem(kSampleFirstNumberOnly);
  optionGroup_ = {&Option0, &Option1};
  Option0.JoinGroup(&optionGroup_);
  Option1.JoinGroup(&optionGroup_);

  form_.urltxt = &urltxt;
  form_.Combo1 = &Combo1;
  form_.Combo2 = &Combo2;
  form_.Combo3 = &Combo3;
  form_.Check1 = &Check1;
  form_.Check2 = &Check2;
  form_.Check3 = &Check3;
  form_.Checkund = &Checkund;
  form_.Option0 = &Option0;
  form_.Option1 = &Option1;
  form_.List1 = &List1;
  form_.urllist = &urllist;
  form_.textArray[1] = &text1;
  form_.textArray[2] = &text2;
  form_.listArray[1] = &list1;
  form_.listArray[2] = &list2;
}

}  // namespace velnor
