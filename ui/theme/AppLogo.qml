import QtQuick

// The application logo; the artwork carries its own rounded corners.
Image {
    property real size: 120
    width: size
    height: size
    source: "qrc:/Quorlix/images/AppLogo.png"
    sourceSize.width: 512
    sourceSize.height: 512
    fillMode: Image.PreserveAspectFit
    smooth: true
    mipmap: true
}
