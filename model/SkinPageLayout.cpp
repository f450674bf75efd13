#include "model/SkinPageLayout.h"

SkinPageLayout::~SkinPageLayout() = default;
