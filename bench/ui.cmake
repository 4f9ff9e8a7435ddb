# The desktop front end's start: time to the window first shown and resident
# memory, beside a minimal Qt Widgets program built the same way. Needs an X display:
#   xvfb-run -a -s "-screen 0 1280x800x24" build/bench/veyra2-ui-startup-benchmark
if(TARGET veyra2_ui)
  find_package(X11 REQUIRED COMPONENTS xcb)
  add_executable(veyra2-minimal-qt-window MinimalQtWindow.cpp)
  target_link_libraries(veyra2-minimal-qt-window PRIVATE launcher_options Qt6::Widgets)

  add_executable(veyra2-ui-startup-benchmark UiStartupBenchmark.cpp)
  target_link_libraries(veyra2-ui-startup-benchmark PRIVATE veyra2_test_support veyra2_bench_support X11::xcb)
  target_compile_definitions(veyra2-ui-startup-benchmark PRIVATE
    VEYRA2_LAUNCHER_PROGRAM="$<TARGET_FILE:veyra2-launcher>"
    VEYRA2_MINIMAL_QT_PROGRAM="$<TARGET_FILE:veyra2-minimal-qt-window>")
  add_dependencies(veyra2-ui-startup-benchmark veyra2-launcher veyra2-minimal-qt-window)
endif()
