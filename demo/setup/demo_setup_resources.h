#pragma once

// The files the demo setup program carries (RCDATA).
#define IDR_PRODUCT_PROGRAM 201
#define IDR_PRODUCT_CONTROL 202
