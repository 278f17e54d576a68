#pragma once
#include "show/Window.h"
