# Sourced by the shell tests that run the program under Xvfb on a 1024x768
# screen without a window manager, where the login window stands at 314,249.
# sign_in USER PASSWORD: clicks each box, replaces its text, and clicks 登录,
# at places of the login window's inside (under Wine it shows a little off
# that place). The window shows the user and password remembered from the
# last sign-in, so what is typed replaces them rather than adding to them.
sign_in() {
    local login=""
    # A window closing meanwhile (a program that just ended) can fail the
    # search of the window tree: then it is searched again.
    for _ in $(seq 50); do
        login=$(xdotool search --onlyvisible --name '^Tallovar$' 2>/dev/null | head -n 1 || true)
        [ -n "$login" ] && break
        sleep 0.1
    done
    xdotool mousemove --window "$login" $((128 + 88)) $((72 + 16)) click 1 key ctrl+a
    xdotool type "$1"
    xdotool mousemove --window "$login" $((128 + 88)) $((120 + 16)) click 1 key ctrl+a
    xdotool type "$2"
    xdotool mousemove --window "$login" $((160 + 48)) $((168 + 12)) click 1
}
