# Sourced by the shell tests that run the program under Xvfb on a 1024x768
# screen without a window manager, where the login window stands at 314,249.
# sign_in USER PASSWORD: clicks each box, types, and clicks 登录.
sign_in() {
    xdotool mousemove $((314 + 128 + 88)) $((249 + 72 + 16)) click 1
    xdotool type "$1"
    xdotool mousemove $((314 + 128 + 88)) $((249 + 120 + 16)) click 1
    xdotool type "$2"
    xdotool mousemove $((314 + 160 + 48)) $((249 + 168 + 12)) click 1
}
