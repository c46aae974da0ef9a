#pragma once
// The program's own resource and command ids. Every other id the program
// uses is one of the framework's standard ids (AfxRes.h).

#include "AfxRes.h"

constexpr UINT IDD_ABOUTBOX = 100;
constexpr UINT IDR_MAINFRAME = 128;
constexpr UINT IDR_TARVEXTYPE = 129;
constexpr UINT IDD_ADD_SYMBOL = 130;
constexpr UINT IDD_UPDATE_RATE = 131;

constexpr UINT IDC_SYMBOL = 1000;
constexpr UINT IDC_UPDATE_RATE = 1001;

constexpr UINT ID_EDIT_ADD = 32773;
constexpr UINT ID_EDIT_UPDATE = 32774;
constexpr UINT ID_SETUP_UPDATE_RATE = 32775;
constexpr UINT ID_EDIT_DELETE = 32776;
constexpr UINT ID_HELP_CONTENTS = 32777;

constexpr UINT ID_INDICATOR_TEXT = 59142; // 0xE706
