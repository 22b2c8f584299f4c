// The programs' version: one place for the version resources and the logs.
#pragma once

#define VK_VERSION_NUMBERS 15, 0, 2, 0
#define VK_VERSION_TEXT "15.0.2.0"
#define VK_PRODUCT_VERSION_TEXT "15.0"
