#include "app/screen_links.h"

#include "ui/bmi_meter_view.h"
#include "ui/situation_lists.h"

ScreenLinks::ScreenLinks(QObject *parent) : QObject(parent) {}

ScreenLinks::~ScreenLinks() = default;
