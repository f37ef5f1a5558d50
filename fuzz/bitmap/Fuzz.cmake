# DecodeBitmap under libFuzzer, seeded with small bitmaps of every kind the decoder reads and
# some it refuses (see make_corpus.py, which wrote them).
add_platform_fuzzer(bitmap_fuzzer
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/BitmapFuzzer.cpp
  CORPUS ${CMAKE_CURRENT_LIST_DIR}/corpus
  LIBS platform_dxe)
