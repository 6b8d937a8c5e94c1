# The fuzz targets: name, entry source, libraries. Included by fuzz/CMakeLists.txt (the
# libFuzzer build) and tests/reliability/CMakeLists.txt (the regression runs of the normal
# build), which each define kx30_fuzz_target(NAME SOURCE LIBS...).
set(KX30_FUZZ_DIR ${CMAKE_CURRENT_LIST_DIR})

kx30_fuzz_target(xml_document      targets/XmlDocumentFuzz.cpp      kx30_xml)
kx30_fuzz_target(xml_textfile      targets/XmlTextFileFuzz.cpp      kx30_xml)
kx30_fuzz_target(profile           targets/ProfileFuzz.cpp          kx30_model)
kx30_fuzz_target(hex_image         targets/HexImageFuzz.cpp         KelvaneX30HWI)
kx30_fuzz_target(key_read          targets/KeyReadFuzz.cpp          KelvaneX30HWI)
kx30_fuzz_target(key_configuration targets/KeyConfigurationFuzz.cpp KelvaneX30HWI)
kx30_fuzz_target(light_read        targets/LightReadFuzz.cpp        KelvaneX30HWI)
