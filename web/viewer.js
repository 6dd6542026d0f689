// The facade page: shows facade.glb (embedded by facade-glb.js) with orbit and
// zoom, opens and closes the leaves of a clicked window by turning them about
// their hinges, and resets the view. The leaves' turn comes from the extras the
// export gives each leaf node: its angle (180 closed, 0 wide open) and the axis
// that turns it by 180 - angle degrees.
(function () {
  'use strict';
  const { THREE, GLTFLoader, OrbitControls } = window.TessivoThree;
  const canvas = document.getElementById('view');
  const message = document.getElementById('message');
  const state = { ready: false, firstFrameMs: null, error: null };
  window.tessivoViewer = state;

  const renderer = new THREE.WebGLRenderer({ canvas, antialias: true, preserveDrawingBuffer: true });
  renderer.setPixelRatio(window.devicePixelRatio);
  const scene = new THREE.Scene();
  scene.background = new THREE.Color(0x20242a);
  // A narrow field of view keeps the front view close to the facade's own drawing.
  const camera = new THREE.PerspectiveCamera(20, 1, 0.01, 1000);
  const controls = new OrbitControls(camera, canvas);

  const windows = new Map(); // window node name -> its leaves
  const kWindowName = /^window_\d+$/;
  const kAnimationMs = 600;
  let home = null; // the reset view: camera position and target

  function resize() {
    const width = canvas.clientWidth;
    const height = canvas.clientHeight;
    renderer.setSize(width, height, false);
    camera.aspect = width / Math.max(height, 1);
    camera.updateProjectionMatrix();
  }

  // Looks at the facade from the front (+z), the whole facade in view.
  function frontView(box) {
    const size = box.getSize(new THREE.Vector3());
    const center = box.getCenter(new THREE.Vector3());
    const halfFov = THREE.MathUtils.degToRad(camera.fov / 2);
    const fitHeight = (size.y / 2) / Math.tan(halfFov);
    const fitWidth = (size.x / 2) / (Math.tan(halfFov) * camera.aspect);
    const distance = 1.05 * Math.max(fitHeight, fitWidth) + box.max.z;
    return { position: new THREE.Vector3(center.x, center.y, distance), target: center };
  }

  function resetView() {
    if (!home)
      return;
    camera.position.copy(home.position);
    controls.target.copy(home.target);
    controls.update();
  }

  function setLeafAngle(leaf, degrees) {
    leaf.userData.current = degrees;
    const axis = new THREE.Vector3().fromArray(leaf.userData.turnAxis);
    leaf.quaternion.setFromAxisAngle(axis, THREE.MathUtils.degToRad(180 - degrees));
  }

  // A click opens the closed leaves of a window (to their exported angle, or
  // to 90 degrees when they were exported closed); when none is closed, it
  // closes them all.
  const animations = [];
  const isOpen = (leaf) => leaf.userData.current < 179.5;
  function toggle(windowName) {
    const leaves = windows.get(windowName) || [];
    const close = leaves.every(isOpen);
    for (const leaf of leaves) {
      if (!close && isOpen(leaf))
        continue;
      const opened = leaf.userData.angle < 179.5 ? leaf.userData.angle : 90;
      animations.push({ leaf, from: leaf.userData.current, to: close ? 180 : opened, start: performance.now() });
    }
  }

  function animate(now) {
    for (let i = animations.length - 1; i >= 0; --i) {
      const a = animations[i];
      const t = Math.min(1, (now - a.start) / kAnimationMs);
      const eased = t * t * (3 - 2 * t);
      setLeafAngle(a.leaf, a.from + (a.to - a.from) * eased);
      if (t >= 1)
        animations.splice(i, 1);
    }
  }

  // The window whose quad or leaf lies under the pointer, if any.
  const raycaster = new THREE.Raycaster();
  function windowAt(clientX, clientY) {
    const rect = canvas.getBoundingClientRect();
    const pointer = new THREE.Vector2(((clientX - rect.left) / rect.width) * 2 - 1,
                                      -((clientY - rect.top) / rect.height) * 2 + 1);
    raycaster.setFromCamera(pointer, camera);
    for (const hit of raycaster.intersectObjects(scene.children, true)) {
      for (let node = hit.object; node; node = node.parent) {
        if (kWindowName.test(node.name))
          return node.name;
      }
    }
    return null;
  }

  // A click is a press and release without a drag (a drag orbits).
  let pressed = null;
  canvas.addEventListener('pointerdown', (e) => { pressed = { x: e.clientX, y: e.clientY }; });
  canvas.addEventListener('pointerup', (e) => {
    if (pressed && Math.hypot(e.clientX - pressed.x, e.clientY - pressed.y) < 5) {
      const name = windowAt(e.clientX, e.clientY);
      if (name)
        toggle(name);
    }
    pressed = null;
  });
  document.getElementById('reset').addEventListener('click', resetView);
  window.addEventListener('resize', resize);

  // For scripts that drive the page: the leaves' angles and where a window's
  // middle lies on the screen.
  state.leafAngles = () => {
    const angles = {};
    for (const leaves of windows.values())
      for (const leaf of leaves)
        angles[leaf.name] = leaf.userData.current;
    return angles;
  };
  state.windowOnScreen = (name) => {
    const node = scene.getObjectByName(name);
    if (!node || !node.geometry)
      return null;
    // The window's own quad, without its leaves.
    node.geometry.computeBoundingBox();
    const box = node.geometry.boundingBox.clone().applyMatrix4(node.matrixWorld);
    const p = box.getCenter(new THREE.Vector3()).project(camera);
    const rect = canvas.getBoundingClientRect();
    return { x: rect.left + (p.x + 1) / 2 * rect.width, y: rect.top + (1 - p.y) / 2 * rect.height };
  };

  function frame(now) {
    animate(now);
    controls.update();
    renderer.render(scene, camera);
    // performance.now() counts from the start of the page's navigation.
    if (state.firstFrameMs === null && state.ready)
      state.firstFrameMs = performance.now();
    requestAnimationFrame(frame);
  }

  function fail(text) {
    state.error = text;
    message.textContent = text;
  }

  function decode(base64) {
    const text = atob(base64);
    const bytes = new Uint8Array(text.length);
    for (let i = 0; i < text.length; ++i)
      bytes[i] = text.charCodeAt(i);
    return bytes.buffer;
  }

  resize();
  if (typeof window.TESSIVO_GLB !== 'string') {
    fail('facade-glb.js is missing: the page shows nothing');
    return;
  }
  new GLTFLoader().parse(decode(window.TESSIVO_GLB), '', (gltf) => {
    scene.add(gltf.scene);
    gltf.scene.traverse((node) => {
      if (node.userData && node.userData.side) {
        setLeafAngle(node, node.userData.angle);
        const windowName = node.parent.name;
        if (!windows.has(windowName))
          windows.set(windowName, []);
        windows.get(windowName).push(node);
      }
    });
    scene.updateMatrixWorld(true);
    home = frontView(new THREE.Box3().setFromObject(gltf.scene.getObjectByName('wall')));
    resetView();
    state.ready = true;
    requestAnimationFrame(frame);
  }, (error) => fail('facade.glb could not be read: ' + error));
})();
