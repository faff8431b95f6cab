#include "support/dialog_fixture.h"

#include "core/reporter.h"
#include "platform/application.h"

ScopedComponentDialog::ScopedComponentDialog() : saved_(DatiComponenti), savedTitle_(Application->Title) {
    Application->Title = ApplicationTitle;
    Application->Script().Reset();
    form_ = new TDatiComponenti(nullptr);
    DatiComponenti = form_;
}

ScopedComponentDialog::~ScopedComponentDialog() {
    delete form_;
    DatiComponenti = saved_;
    Application->Title = savedTitle_;
    Application->Script().Reset();
}
