#pragma once
#include "app/Upward.h"
#include "render/Below.h"
