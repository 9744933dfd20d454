# Every target of ours gets the same warnings; CI turns them into errors.
function(vexmira_target_defaults target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
    if(VEXMIRA_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()

if(VEXMIRA_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()
