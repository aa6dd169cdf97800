# AddressSanitizer and UndefinedBehaviorSanitizer for every target of the build,
# the simulated library included; any report stops the process.
if(SELVAREX_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
endif()

# ThreadSanitizer cannot share a build with AddressSanitizer: a build of its own.
if(SELVAREX_SANITIZE_THREAD)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()
