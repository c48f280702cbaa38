// GDI services for the owner of the platform (the host program and tests):
// off-screen raster contexts and their pixels as PNG, vector contexts that
// write SVG or PDF files, pictures of windows, and counts of GDI resources for
// leak checks. Paths here are host paths. Plug-in code never includes this.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace platform {

// An off-screen raster context of width x height pixels, filled with
// background; 96-dpi screen metrics. Delete it with DeleteDC.
HDC CreateRasterDC(int width, int height, COLORREF background);
// Gives a context made by CreateCompatibleDC (or CreateRasterDC) a new
// surface of that size filled with background; its state is kept.
bool SetRasterSize(HDC hdc, int width, int height, COLORREF background);
// Writes the raster surface behind hdc (an off-screen or window context).
bool SaveRasterPNG(HDC hdc, const std::string& path);
// The same PNG in memory.
bool EncodeRasterPNG(HDC hdc, std::string* png);

// A context that records vector drawing for an SVG file (device units are
// pixels) or a PDF file (device units are points), width x height of them,
// with 96-dpi metrics. Nothing is written until CloseVectorDC; DeleteDC on
// it discards the drawing.
HDC CreateVectorDC(const std::string& path, bool pdf, double width, double height);
// Finishes the drawing, writes the file and deletes the context (also when
// writing fails, which returns false).
bool CloseVectorDC(HDC hdc);

// Draws into a new context of width x height device units and writes it by
// the path's extension: .png (pixels), .svg (pixels) or .pdf (points). The
// background fills the picture first unless it is CLR_INVALID (transparent).
bool RenderToFile(const std::string& path, double width, double height, COLORREF background,
                  const std::function<void(HDC)>& draw);

// The window's client area as painted, with its visible child windows
// composited over it in Z order, written as PNG.
bool SaveWindowPNG(HWND hwnd, const std::string& path);

// A dialog as it shows: pending paints and posted messages are dispatched
// first, then the dialog's surface (its controls and whatever the dialog drew
// over them) is written as PNG. The "png PATH" user action calls this.
bool SaveDialogPNG(HWND dlg, const std::string& path);

// Device contexts made and not yet deleted or released (metafile contexts
// excepted), for leak checks in tests; LiveGdiObjects is in platform/env.h.
int LiveDeviceContexts();

}  // namespace platform
