#include "app/form_review.h"
#include "session/viewer.h"

struct FormReview::Impl {};

FormReview::FormReview(QWidget *parent) : QMainWindow(parent), d(std::make_unique<Impl>()) {}
FormReview::~FormReview() = default;
void FormReview::loadAfterStartUp(const QString &) {}
Viewer &FormReview::viewer() { std::abort(); }
