// PNG output through libpng with fixed compression settings and no time or
// text chunks, so the same picture always gives the same file.
#include "gfx_png.h"

#include <png.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

unsigned char to_byte(float v) {
  if (!(v > 0)) return 0; // also catches NaN
  if (v >= 1) return 255;
  return (unsigned char)std::lround(v * 255.0f);
}

// libpng reports errors by longjmp; keep the message for the caller.
static void png_fail(png_structp png, png_const_charp msg) {
  char *buf = (char *)png_get_error_ptr(png);
  if (buf) snprintf(buf, 256, "%s", msg);
  png_longjmp(png, 1);
}

static void png_warn(png_structp, png_const_charp) {}

// Everything after setjmp stays plain C data so the jump skips no destructor.
static bool encode(FILE *f, int w, int h, png_bytep *rows, char *msg) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, msg, png_fail, png_warn);
  if (!png) {
    snprintf(msg, 256, "out of memory");
    return false;
  }
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    snprintf(msg, 256, "out of memory");
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, f);
  png_set_compression_level(png, 9);
  png_set_compression_mem_level(png, 8);
  png_set_compression_strategy(png, 0);
  png_set_compression_window_bits(png, 15);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_ALL_FILTERS);
  png_set_IHDR(png, info, (png_uint_32)w, (png_uint_32)h, 8, PNG_COLOR_TYPE_RGB_ALPHA,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

bool write_png(const std::string &path, const Image &img, std::string &err) {
  if (img.w <= 0 || img.h <= 0 || img.px.size() != (size_t)img.w * (size_t)img.h) {
    err = path + ": empty picture";
    return false;
  }
  std::vector<unsigned char> bytes((size_t)img.w * (size_t)img.h * 4);
  for (size_t i = 0; i < img.px.size(); i++) {
    bytes[i * 4 + 0] = to_byte(img.px[i].r);
    bytes[i * 4 + 1] = to_byte(img.px[i].g);
    bytes[i * 4 + 2] = to_byte(img.px[i].b);
    bytes[i * 4 + 3] = to_byte(img.px[i].a);
  }
  std::vector<png_bytep> rows((size_t)img.h);
  for (int y = 0; y < img.h; y++) rows[(size_t)y] = &bytes[(size_t)y * (size_t)img.w * 4];

  std::string tmp = path + ".tmp";
  FILE *f = fopen(tmp.c_str(), "wb");
  if (!f) {
    err = "cannot write " + tmp + ": " + strerror(errno);
    return false;
  }
  char msg[256] = "";
  bool ok = encode(f, img.w, img.h, rows.data(), msg);
  if (fflush(f) != 0 || ferror(f)) {
    if (ok) snprintf(msg, sizeof msg, "%s", strerror(errno));
    ok = false;
  }
  if (fclose(f) != 0 && ok) {
    snprintf(msg, sizeof msg, "%s", strerror(errno));
    ok = false;
  }
  if (ok && std::rename(tmp.c_str(), path.c_str()) != 0) {
    snprintf(msg, sizeof msg, "rename failed: %s", strerror(errno));
    ok = false;
  }
  if (!ok) {
    std::remove(tmp.c_str());
    err = "cannot write " + path + ": " + msg;
  }
  return ok;
}
